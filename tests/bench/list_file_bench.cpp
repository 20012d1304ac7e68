// Prints how long the list reader and writer take on a whole book of verses, against the time
// of one plain read of the same file (the floor), and how the reader scales with the line count;
// and what random order costs on the book: its stored round, and the picks of two rounds.
// Usage: list_file_bench [folder for the scratch files]

#include "list_file.h"
#include "platform.h"
#include "verse_pick.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A verses file of the given number of lines, about 145 bytes each as in a real Bible; ASCII,
// or UTF-8 with Romanian letters.
void MakeVersesFile(const std::string& path, int lines, bool utf8 = false) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        perror(path.c_str());
        exit(1);
    }
    unsigned state = 12345;
    for (int i = 0; i < lines; i++) {
        state = state * 214013 + 2531011;
        int length = 50 + static_cast<int>((state >> 16) % 150);
        std::string line;
        while (static_cast<int>(line.size()) < length) {
            line += utf8 ? "cuvânt ș " : "cuvant ";
        }
        line.resize(length);
        line += " (Carte " + std::to_string(i / 30 + 1) + ":" + std::to_string(i % 30 + 1) + ")";
        fprintf(file, "%s\r\n", line.c_str());
    }
    fclose(file);
}

double BestOf(int runs, double (*measure)(const std::string&), const std::string& path) {
    double best = 1e30;
    for (int i = 0; i < runs; i++) {
        double ms = measure(path);
        best = ms < best ? ms : best;
    }
    return best;
}

long FileSize(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fclose(file);
    return size;
}

// The floor: one read of the whole file into a fresh block of memory, the least any loader does.
double MeasureFloor(const std::string& path) {
    auto start = Clock::now();
    FILE* file = fopen(path.c_str(), "rb");
    fseek(file, 0, SEEK_END);
    size_t size = static_cast<size_t>(ftell(file));
    fseek(file, 0, SEEK_SET);
    char* bytes = static_cast<char*>(malloc(size));
    size_t read = fread(bytes, 1, size, file);
    fclose(file);
    double ms = Milliseconds(start);
    free(bytes);
    return read == size ? ms : -1;
}

// The same read into memory whose pages are already mapped: under Wine, filling fresh pages
// from a file costs about as much again as the read itself.
double MeasureTouchedFloor(const std::string& path) {
    std::vector<char> bytes(static_cast<size_t>(FileSize(path)));
    auto start = Clock::now();
    FILE* file = fopen(path.c_str(), "rb");
    size_t read = fread(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    double ms = Milliseconds(start);
    return read == bytes.size() ? ms : -1;
}

// Mapping the pages of a block the size of the loaded list: a cost of the result itself.
double MeasureBlockPages(const std::string& path) {
    uint32_t count = 0;
    ListFileForm form;
    WideChar* block = ReadListFile(path.c_str(), 256, count, form);
    HeapRelease(block);
    size_t size = static_cast<size_t>(count) * 256 * sizeof(WideChar);
    auto start = Clock::now();
    char* fresh = static_cast<char*>(HeapAllocZero(size));
    for (size_t page = 0; page < size; page += 4096) {
        fresh[page] = 1;
    }
    double ms = Milliseconds(start);
    HeapRelease(fresh);
    return ms;
}

double MeasureRead(const std::string& path) {
    auto start = Clock::now();
    uint32_t count = 0;
    ListFileForm form;
    WideChar* block = ReadListFile(path.c_str(), 256, count, form);
    double ms = Milliseconds(start);
    HeapRelease(block);
    return block != nullptr ? ms : -1;
}

double MeasureWrite(const std::string& path) {
    uint32_t count = 0;
    ListFileForm form;
    WideChar* block = ReadListFile(path.c_str(), 256, count, form);
    std::string copy = path + ".out";
    auto start = Clock::now();
    uint32_t code = WriteListFile(copy.c_str(), block, count, 256, form);
    double ms = Milliseconds(start);
    HeapRelease(block);
    remove(copy.c_str());
    return code == 0 ? ms : -1;
}

// The round stored half way through, fitted to the list as its reading does, then two rounds.
void MeasureRound(const std::string& path) {
    uint32_t count = 0;
    ListFileForm form;
    SaverSettings record{};
    record.Texts = ReadListFile(path.c_str(), 256, count, form);
    record.TextCount = count;
    VerseRound round{};
    FitRound(round, nullptr, 0, count, 1);
    for (uint32_t i = 0; i < count / 2; i++) {
        PickVerse(record, round, 0);
    }
    std::vector<uint8_t> stored(round.Stored, round.Stored + RoundStoredSize(count));
    auto start = Clock::now();
    FitRound(round, stored.data(), RoundStoredSize(count), count, 1);
    double fit = Milliseconds(start);
    std::vector<double> picks;
    for (uint32_t i = 0; i < 2 * count; i++) {
        start = Clock::now();
        PickVerse(record, round, 0);
        picks.push_back(Milliseconds(start));
    }
    ReleaseRound(round);
    HeapRelease(record.Texts);
    std::sort(picks.begin(), picks.end());
    printf("random order: the round stored in %u bytes, fitted in %.3f ms; a pick: median %.4f ms, "
           "99th percentile %.4f ms, slowest %.3f ms\n",
           RoundStoredSize(count), fit, picks[count], picks[picks.size() * 99 / 100], picks.back());
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : ".";
    std::string book = folder + "/bench-book.txt";
    std::string tenth = folder + "/bench-tenth.txt";
    std::string unicodeBook = folder + "/bench-book-utf8.txt";
    MakeVersesFile(book, 31102);
    MakeVersesFile(tenth, 3110);
    MakeVersesFile(unicodeBook, 31102, true);

    const int runs = 7;
    double floor = BestOf(runs, MeasureFloor, book);
    double touchedFloor = BestOf(runs, MeasureTouchedFloor, book);
    double blockPages = BestOf(runs, MeasureBlockPages, book);
    double read = BestOf(runs, MeasureRead, book);
    double write = BestOf(runs, MeasureWrite, book);
    double readTenth = BestOf(runs, MeasureRead, tenth);
    double readUnicode = BestOf(runs, MeasureRead, unicodeBook);
    double writeUnicode = BestOf(runs, MeasureWrite, unicodeBook);
    printf("31102 lines, %ld bytes\n", FileSize(book));
    printf("floor: one read into fresh memory %.2f ms; into mapped memory %.2f ms\n", floor,
           touchedFloor);
    printf("mapping the pages of the finished block alone: %.2f ms\n", blockPages);
    printf("ReadListFile %.2f ms: %.2f x the floor, %.2f x the read into mapped memory\n", read,
           read / floor, read / touchedFloor);
    printf("WriteListFile %.2f ms\n", write);
    printf("3110 lines: ReadListFile %.2f ms; 10x the lines takes %.2f x the time\n", readTenth,
           read / readTenth);
    printf("UTF-8 book, %ld bytes: ReadListFile %.2f ms, WriteListFile %.2f ms\n",
           FileSize(unicodeBook), readUnicode, writeUnicode);
    MeasureRound(book);
    remove(book.c_str());
    remove(tenth.c_str());
    remove(unicodeBook.c_str());
    return 0;
}
