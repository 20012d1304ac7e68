#include "support/typefaces.h"

#include "font_sample.h"

#include <gtest/gtest.h>

namespace {

int CALLBACK CollectTypeface(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
    char name[4 * LF_FACESIZE] = {};
    WideCharToMultiByte(CP_UTF8, 0, font->lfFaceName, -1, name, sizeof name, nullptr, nullptr);
    reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
    return 1;
}

} // namespace

std::vector<std::string> InstalledTypefaces() {
    std::vector<std::string> names;
    LOGFONTW everyTypeface{};
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &everyTypeface, CollectTypeface, reinterpret_cast<LPARAM>(&names), 0);
    ReleaseDC(nullptr, dc);
    return names;
}

void RegisterSampleClass() {
    static const ATOM atom = RegisterDialogClasses(GetModuleHandleA(nullptr));
    ASSERT_NE(atom, 0) << "cannot register the font sample's class";
}
