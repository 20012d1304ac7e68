#!/usr/bin/env python3
"""Writes the sample lists that the installer puts beside Verselume.scr.

    python3 make_sample_data.py           writes both files
    python3 make_sample_data.py --check   only tells whether they are up to date

versete.txt  verses from the 1924 Cornilescu translation (public domain),
             one per line, reference in parentheses at the end
fonturi.txt  typefaces that ship with every Windows 10 and 11 installation

Both files are in Windows-1250, the ANSI code page of the Romanian UI,
with CR LF after every line.  The program reads a verse of at most 255
bytes and a typeface name of at most 31 bytes per line and cuts anything
longer, so the limits are checked here rather than discovered on screen.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ENCODING = 'cp1250'
VERSE_MAX = 255
FONT_MAX = 31

VERSES = [
    ('La început, Dumnezeu a făcut cerurile şi pământul.',
     'Geneza 1:1'),
    ('Domnul să te binecuvânteze şi să te păzească! Domnul să facă să '
     'lumineze Faţa Lui peste tine şi să Se îndure de tine! Domnul să-Şi '
     'înalţe Faţa peste tine şi să-ţi dea pacea!',
     'Numeri 6:24-26'),
    ('Cerurile spun slava lui Dumnezeu, şi întinderea lor vesteşte lucrarea '
     'mâinilor Lui.',
     'Psalmii 19:1'),
    ('Domnul este Păstorul meu: nu voi duce lipsă de nimic.',
     'Psalmii 23:1'),
    ('Chiar dacă ar fi să umblu prin valea umbrei morţii, nu mă tem de nici '
     'un rău, căci Tu eşti cu mine. Toiagul şi nuiaua Ta mă mângâie.',
     'Psalmii 23:4'),
    ('Domnul este lumina şi mântuirea mea: de cine să mă tem? Domnul este '
     'sprijinitorul vieţii mele: de cine să-mi fie frică?',
     'Psalmii 27:1'),
    ('Gustaţi şi vedeţi ce bun este Domnul! Ferice de omul care se încrede '
     'în El!',
     'Psalmii 34:8'),
    ('Domnul să-ţi fie desfătarea, şi El îţi va da tot ce-ţi doreşte '
     'inima.',
     'Psalmii 37:4'),
    ('Dumnezeu este adăpostul şi sprijinul nostru, un ajutor care nu '
     'lipseşte niciodată în nevoi.',
     'Psalmii 46:1'),
    ('Zideşte în mine o inimă curată, Dumnezeule, pune în mine un duh nou '
     'şi statornic!',
     'Psalmii 51:10'),
    ('Încredinţează-ţi soarta în mâna Domnului, şi El te va sprijini. El nu '
     'va lăsa niciodată să se clatine cel neprihănit.',
     'Psalmii 55:22'),
    ('Învaţă-ne să ne numărăm bine zilele, ca să căpătăm o inimă '
     'înţeleaptă!',
     'Psalmii 90:12'),
    ('Binecuvântează, suflete, pe Domnul, şi tot ce este în mine să '
     'binecuvânteze Numele Lui cel sfânt!',
     'Psalmii 103:1'),
    ('Aceasta este ziua pe care a făcut-o Domnul: să ne bucurăm şi să ne '
     'veselim în ea!',
     'Psalmii 118:24'),
    ('Cuvântul Tău este o candelă pentru picioarele mele şi o lumină pe '
     'cărarea mea.',
     'Psalmii 119:105'),
    ('Ajutorul îmi vine de la Domnul, care a făcut cerurile şi pământul.',
     'Psalmii 121:2'),
    ('Te laud că sunt o făptură aşa de minunată. Minunate sunt lucrările '
     'Tale, şi ce bine vede sufletul meu lucrul acesta!',
     'Psalmii 139:14'),
    ('Frica Domnului este începutul ştiinţei; dar nebunii nesocotesc '
     'înţelepciunea şi învăţătura.',
     'Proverbele 1:7'),
    ('Încrede-te în Domnul din toată inima ta, şi nu te bizui pe '
     'înţelepciunea ta!',
     'Proverbele 3:5'),
    ('Recunoaşte-L în toate căile tale, şi El îţi va netezi cărările.',
     'Proverbele 3:6'),
    ('Păzeşte-ţi inima mai mult decât orice, căci din ea ies izvoarele '
     'vieţii.',
     'Proverbele 4:23'),
    ('Un răspuns blând potoleşte mânia, dar o vorbă aspră aţâţă mânia.',
     'Proverbele 15:1'),
    ('Încredinţează-ţi lucrările în mâna Domnului, şi îţi vor izbuti '
     'planurile.',
     'Proverbele 16:3'),
    ('Toate îşi au vremea lor, şi fiecare lucru de sub ceruri îşi are '
     'ceasul lui.',
     'Eclesiastul 3:1'),
    ('Căci un Copil ni s-a născut, un Fiu ni s-a dat, şi domnia va fi pe '
     'umărul Lui; Îl vor numi: Minunat, Sfetnic, Dumnezeu tare, Părintele '
     'veşniciilor, Domn al păcii.',
     'Isaia 9:6'),
    ('Celui cu inima tare, Tu-i chezăşuieşti pacea, da, pacea, pentru că se '
     'încrede în Tine.',
     'Isaia 26:3'),
    ('Dar cei ce se încred în Domnul îşi înnoiesc puterea, ei zboară ca '
     'vulturii; aleargă, şi nu obosesc, umblă, şi nu ostenesc.',
     'Isaia 40:31'),
    ('Nu te teme, căci Eu sunt cu tine; nu te uita cu îngrijorare, căci Eu '
     'sunt Dumnezeul tău; Eu te întăresc, tot Eu îţi vin în ajutor, Eu te '
     'sprijinesc cu dreapta Mea biruitoare.',
     'Isaia 41:10'),
    ('Dar El era străpuns pentru păcatele noastre, zdrobit pentru '
     'fărădelegile noastre. Pedeapsa, care ne dă pacea, a căzut peste El, '
     'şi prin rănile Lui suntem tămăduiţi.',
     'Isaia 53:5'),
    ('Căutaţi pe Domnul câtă vreme se poate găsi; chemaţi-L, câtă vreme '
     'este aproape!',
     'Isaia 55:6'),
    ('Căci Eu ştiu gândurile pe care le am cu privire la voi, zice Domnul, '
     'gânduri de pace şi nu de nenorocire, ca să vă dau un viitor şi o '
     'nădejde.',
     'Ieremia 29:11'),
    ('Bunătăţile Domnului nu s-au sfârşit, îndurările Lui nu sunt la '
     'capăt, ci se înnoiesc în fiecare dimineaţă. Şi credincioşia Ta este '
     'atât de mare!',
     'Plângerile lui Ieremia 3:22-23'),
    ('Ţi s-a arătat, omule, ce este bine; şi ce alta cere Domnul de la tine '
     'decât să faci dreptate, să iubeşti mila şi să umbli smerit cu '
     'Dumnezeul tău?',
     'Mica 6:8'),
    ('Ferice de cei săraci în duh, căci a lor este Împărăţia cerurilor!',
     'Matei 5:3'),
    ('Ferice de cei cu inima curată, căci ei vor vedea pe Dumnezeu!',
     'Matei 5:8'),
    ('Ferice de cei împăciuitori, căci ei vor fi chemaţi fii ai lui '
     'Dumnezeu!',
     'Matei 5:9'),
    ('Voi sunteţi lumina lumii. O cetate aşezată pe un munte nu poate să '
     'rămână ascunsă.',
     'Matei 5:14'),
    ('Tot aşa să lumineze şi lumina voastră înaintea oamenilor, ca ei să '
     'vadă faptele voastre bune şi să slăvească pe Tatăl vostru care este '
     'în ceruri.',
     'Matei 5:16'),
    ('Căutaţi mai întâi Împărăţia lui Dumnezeu şi neprihănirea Lui, şi '
     'toate aceste lucruri vi se vor da pe deasupra.',
     'Matei 6:33'),
    ('Nu vă îngrijoraţi dar de ziua de mâine; căci ziua de mâine se va '
     'îngrijora de ea însăşi. Ajunge zilei necazul ei.',
     'Matei 6:34'),
    ('Cereţi, şi vi se va da; căutaţi, şi veţi găsi; bateţi, şi vi se va '
     'deschide.',
     'Matei 7:7'),
    ('Veniţi la Mine, toţi cei trudiţi şi împovăraţi, şi Eu vă voi da '
     'odihnă.',
     'Matei 11:28'),
    ('Fiindcă nici un cuvânt de la Dumnezeu nu este lipsit de putere.',
     'Luca 1:37'),
    ('Slavă lui Dumnezeu în locurile preaînalte, şi pace pe pământ între '
     'oamenii plăcuţi Lui!',
     'Luca 2:14'),
    ('Ce voiţi să vă facă vouă oamenii, faceţi-le şi voi la fel.',
     'Luca 6:31'),
    ('Pentru că Fiul omului a venit să caute şi să mântuiască ce era '
     'pierdut.',
     'Luca 19:10'),
    ('La început era Cuvântul, şi Cuvântul era cu Dumnezeu, şi Cuvântul '
     'era Dumnezeu.',
     'Ioan 1:1'),
    ('Fiindcă atât de mult a iubit Dumnezeu lumea, că a dat pe singurul Lui '
     'Fiu, pentru ca oricine crede în El să nu piară, ci să aibă viaţa '
     'veşnică.',
     'Ioan 3:16'),
    ('Veţi cunoaşte adevărul, şi adevărul vă va face slobozi.',
     'Ioan 8:32'),
    ('Eu sunt Păstorul cel bun. Păstorul cel bun îşi dă viaţa pentru oi.',
     'Ioan 10:11'),
    ('Vă dau o poruncă nouă: Să vă iubiţi unii pe alţii; cum v-am iubit '
     'Eu, aşa să vă iubiţi şi voi unii pe alţii.',
     'Ioan 13:34'),
    ('Să nu vi se tulbure inima. Aveţi credinţă în Dumnezeu, şi aveţi '
     'credinţă în Mine.',
     'Ioan 14:1'),
    ('Vă las pacea, vă dau pacea Mea. Nu v-o dau cum o dă lumea. Să nu vi '
     'se tulbure inima, nici să nu se înspăimânte.',
     'Ioan 14:27'),
    ('Eu sunt Viţa, voi sunteţi mlădiţele. Cine rămâne în Mine şi în cine '
     'rămân Eu aduce multă roadă, căci despărţiţi de Mine nu puteţi face '
     'nimic.',
     'Ioan 15:5'),
    ('Nu este mai mare dragoste decât să-şi dea cineva viaţa pentru '
     'prietenii săi.',
     'Ioan 15:13'),
    ('V-am spus aceste lucruri ca să aveţi pace în Mine. În lume veţi avea '
     'necazuri; dar îndrăzniţi, Eu am biruit lumea.',
     'Ioan 16:33'),
    ('Dar Dumnezeu Îşi arată dragostea faţă de noi prin faptul că, pe când '
     'eram noi încă păcătoşi, Hristos a murit pentru noi.',
     'Romani 5:8'),
    ('Fiindcă plata păcatului este moartea, dar darul fără plată al lui '
     'Dumnezeu este viaţa veşnică în Isus Hristos, Domnul nostru.',
     'Romani 6:23'),
    ('De altă parte, ştim că toate lucrurile lucrează împreună spre binele '
     'celor ce iubesc pe Dumnezeu, şi anume spre binele celor ce sunt '
     'chemaţi după planul Său.',
     'Romani 8:28'),
    ('Deci ce vom zice noi în faţa tuturor acestor lucruri? Dacă Dumnezeu '
     'este pentru noi, cine va fi împotriva noastră?',
     'Romani 8:31'),
    ('Bucuraţi-vă în nădejde. Fiţi răbdători în necaz. Stăruiţi în '
     'rugăciune.',
     'Romani 12:12'),
    ('Nu te lăsa biruit de rău, ci biruieşte răul prin bine.',
     'Romani 12:21'),
    ('Acum dar rămân aceste trei: credinţa, nădejdea şi dragostea; dar cea '
     'mai mare dintre ele este dragostea.',
     '1 Corinteni 13:13'),
    ('Tot ce faceţi să fie făcut cu dragoste!',
     '1 Corinteni 16:14'),
    ('Căci, dacă este cineva în Hristos, este o făptură nouă. Cele vechi '
     's-au dus: iată că toate lucrurile s-au făcut noi.',
     '2 Corinteni 5:17'),
    ('Purtaţi-vă sarcinile unii altora, şi veţi împlini astfel Legea lui '
     'Hristos.',
     'Galateni 6:2'),
    ('Căci prin har aţi fost mântuiţi, prin credinţă. Şi aceasta nu vine de '
     'la voi; ci este darul lui Dumnezeu.',
     'Efeseni 2:8'),
    ('Dimpotrivă, fiţi buni unii cu alţii, miloşi, şi iertaţi-vă unul pe '
     'altul, cum v-a iertat şi Dumnezeu pe voi în Hristos.',
     'Efeseni 4:32'),
    ('Bucuraţi-vă totdeauna în Domnul! Iarăşi zic: Bucuraţi-vă!',
     'Filipeni 4:4'),
    ('Nu vă îngrijoraţi de nimic; ci, în orice lucru, aduceţi cererile '
     'voastre la cunoştinţa lui Dumnezeu, prin rugăciuni şi cereri, cu '
     'mulţumiri.',
     'Filipeni 4:6'),
    ('Şi pacea lui Dumnezeu, care întrece orice pricepere, vă va păzi '
     'inimile şi gândurile în Hristos Isus.',
     'Filipeni 4:7'),
    ('Pot totul în Hristos, care mă întăreşte.',
     'Filipeni 4:13'),
    ('Bucuraţi-vă întotdeauna. Rugaţi-vă neîncetat. Mulţumiţi lui Dumnezeu '
     'pentru toate lucrurile; căci aceasta este voia lui Dumnezeu, în '
     'Hristos Isus, cu privire la voi.',
     '1 Tesaloniceni 5:16-18'),
    ('Căci Dumnezeu nu ne-a dat un duh de frică, ci de putere, de dragoste '
     'şi de chibzuinţă.',
     '2 Timotei 1:7'),
    ('Şi credinţa este o încredere neclintită în lucrurile nădăjduite, o '
     'puternică încredinţare despre lucrurile care nu se văd.',
     'Evrei 11:1'),
    ('Isus Hristos este acelaşi ieri şi azi şi în veci!',
     'Evrei 13:8'),
    ('Dacă vreunuia dintre voi îi lipseşte înţelepciunea, s-o ceară de la '
     'Dumnezeu, care dă tuturor cu mână largă şi fără mustrare, şi ea îi va '
     'fi dată.',
     'Iacov 1:5'),
    ('Dacă ne mărturisim păcatele, El este credincios şi drept ca să ne '
     'ierte păcatele şi să ne curăţească de orice nelegiuire.',
     '1 Ioan 1:9'),
    ('Cine nu iubeşte n-a cunoscut pe Dumnezeu, pentru că Dumnezeu este '
     'dragoste.',
     '1 Ioan 4:8'),
    ('Noi Îl iubim pentru că El ne-a iubit întâi.',
     '1 Ioan 4:19'),
    ('Iată Eu stau la uşă şi bat. Dacă aude cineva glasul Meu şi deschide '
     'uşa, voi intra la el, voi cina cu el, şi el cu Mine.',
     'Apocalipsa 3:20'),
]

# Typefaces installed with every edition of Windows 10 and Windows 11
# (none of them an optional feature or an Office font) that read well in
# large sizes.  Kept in strcmp order, which the fonts dialog's binary
# search relies on.
FONTS = [
    'Arial',
    'Calibri',
    'Cambria',
    'Candara',
    'Comic Sans MS',
    'Constantia',
    'Corbel',
    'Franklin Gothic Medium',
    'Gabriola',
    'Georgia',
    'Palatino Linotype',
    'Segoe Print',
    'Segoe Script',
    'Segoe UI',
    'Sylfaen',
    'Tahoma',
    'Times New Roman',
    'Trebuchet MS',
    'Verdana',
]

# Windows-1250 has only the cedilla forms of these letters.
CEDILLA = str.maketrans({
    '\u0218': '\u015e', '\u0219': '\u015f',   # Ș ș -> Ş ş
    '\u021a': '\u0162', '\u021b': '\u0163',   # Ț ț -> Ţ ţ
})


class DataError(Exception):
    pass


def encode_line(text, limit, what):
    text = text.translate(CEDILLA)
    if not text or text != text.strip():
        raise DataError('%s has surrounding blanks or is empty: %r'
                        % (what, text))
    if any(ch in text for ch in '\r\n\t'):
        raise DataError('%s holds a control character: %r' % (what, text))
    try:
        data = text.encode(ENCODING)
    except UnicodeEncodeError as e:
        raise DataError('%s cannot be written in %s: %r (%s)'
                        % (what, ENCODING, text, e))
    if len(data) > limit:
        raise DataError('%s is %d bytes, more than %d: %r'
                        % (what, len(data), limit, text))
    return data


def verse_lines():
    lines = []
    seen = set()
    for text, reference in VERSES:
        if reference in seen:
            raise DataError('verse %s appears twice' % reference)
        seen.add(reference)
        if text[-1] not in '.!?':
            raise DataError('verse %s does not end a sentence' % reference)
        line = '%s (%s)' % (text, reference)
        lines.append(encode_line(line, VERSE_MAX, 'verse ' + reference))
    if len(lines) < 50:
        raise DataError('only %d verses' % len(lines))
    return lines


def font_lines():
    lines = [encode_line(name, FONT_MAX, 'typeface') for name in FONTS]
    for a, b in zip(lines, lines[1:]):
        # Byte order is what the fonts dialog searches by; the list box
        # shows the names without regard to case, and the two orders
        # must agree or a chosen typeface can show as available too.
        if not a < b:
            raise DataError('typefaces out of byte order: %r, %r' % (a, b))
        if not a.lower() < b.lower():
            raise DataError('typefaces out of case-blind order: %r, %r'
                            % (a, b))
    return lines


def file_bytes(lines):
    return b''.join(line + b'\r\n' for line in lines)


def write_lines(name, lines):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(file_bytes(lines))


def check_lines(name, lines):
    """True when the committed file is what this script writes."""
    try:
        with open(os.path.join(HERE, name), 'rb') as f:
            current = f.read()
    except OSError:
        current = None
    if current == file_bytes(lines):
        return True
    sys.stderr.write('make_sample_data: %s is not what the script writes; '
                     'run it and commit the result\n' % name)
    return False


def main():
    try:
        verses = verse_lines()
        fonts = font_lines()
    except DataError as e:
        sys.stderr.write('make_sample_data: %s\n' % e)
        return 1
    if sys.argv[1:] == ['--check']:
        ok = check_lines('versete.txt', verses)
        ok = check_lines('fonturi.txt', fonts) and ok
        return 0 if ok else 1
    write_lines('versete.txt', verses)
    write_lines('fonturi.txt', fonts)
    print('versete.txt: %d verses, longest %d bytes'
          % (len(verses), max(len(v) for v in verses)))
    print('fonturi.txt: %d typefaces' % len(fonts))
    return 0


if __name__ == '__main__':
    sys.exit(main())
