#!/usr/bin/env python3
"""Writes the sample lists that the installer puts beside Verselume.scr.

    python3 make_sample_data.py           writes both files
    python3 make_sample_data.py --check   only tells whether they are up to date

versete.txt  verses from the 1924 Cornilescu translation (public domain),
             one per line, reference in parentheses at the end
fonturi.txt  typefaces that ship with every Windows 10 and 11 installation
             and have every Romanian letter

versete.txt is UTF-8 with a byte-order mark, so that its Romanian letters
show right whatever the system's code page, and it uses the correct letters
with a comma below (ș ț), which no ANSI code page holds; the cedilla forms
(ş ţ) are refused.  fonturi.txt is plain ASCII.  Every line ends with
CR LF.  The program reads a verse of at most 255 characters (UTF-16 units)
and a typeface name of at most 31 per line and cuts anything longer, so the
limits are checked here rather than discovered on screen.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
BOM = b'\xef\xbb\xbf'
VERSE_MAX = 255
FONT_MAX = 31

VERSES = [
    ('La început, Dumnezeu a făcut cerurile și pământul.',
     'Geneza 1:1'),
    ('Domnul să te binecuvânteze și să te păzească! Domnul să facă să '
     'lumineze Fața Lui peste tine și să Se îndure de tine! Domnul să-Și '
     'înalțe Fața peste tine și să-ți dea pacea!',
     'Numeri 6:24-26'),
    ('Cerurile spun slava lui Dumnezeu, și întinderea lor vestește lucrarea '
     'mâinilor Lui.',
     'Psalmii 19:1'),
    ('Domnul este Păstorul meu: nu voi duce lipsă de nimic.',
     'Psalmii 23:1'),
    ('Chiar dacă ar fi să umblu prin valea umbrei morții, nu mă tem de nici '
     'un rău, căci Tu ești cu mine. Toiagul și nuiaua Ta mă mângâie.',
     'Psalmii 23:4'),
    ('Domnul este lumina și mântuirea mea: de cine să mă tem? Domnul este '
     'sprijinitorul vieții mele: de cine să-mi fie frică?',
     'Psalmii 27:1'),
    ('Gustați și vedeți ce bun este Domnul! Ferice de omul care se încrede '
     'în El!',
     'Psalmii 34:8'),
    ('Domnul să-ți fie desfătarea, și El îți va da tot ce-ți dorește '
     'inima.',
     'Psalmii 37:4'),
    ('Dumnezeu este adăpostul și sprijinul nostru, un ajutor care nu '
     'lipsește niciodată în nevoi.',
     'Psalmii 46:1'),
    ('Zidește în mine o inimă curată, Dumnezeule, pune în mine un duh nou '
     'și statornic!',
     'Psalmii 51:10'),
    ('Încredințează-ți soarta în mâna Domnului, și El te va sprijini. El nu '
     'va lăsa niciodată să se clatine cel neprihănit.',
     'Psalmii 55:22'),
    ('Învață-ne să ne numărăm bine zilele, ca să căpătăm o inimă '
     'înțeleaptă!',
     'Psalmii 90:12'),
    ('Binecuvântează, suflete, pe Domnul, și tot ce este în mine să '
     'binecuvânteze Numele Lui cel sfânt!',
     'Psalmii 103:1'),
    ('Aceasta este ziua pe care a făcut-o Domnul: să ne bucurăm și să ne '
     'veselim în ea!',
     'Psalmii 118:24'),
    ('Cuvântul Tău este o candelă pentru picioarele mele și o lumină pe '
     'cărarea mea.',
     'Psalmii 119:105'),
    ('Ajutorul îmi vine de la Domnul, care a făcut cerurile și pământul.',
     'Psalmii 121:2'),
    ('Te laud că sunt o făptură așa de minunată. Minunate sunt lucrările '
     'Tale, și ce bine vede sufletul meu lucrul acesta!',
     'Psalmii 139:14'),
    ('Frica Domnului este începutul științei; dar nebunii nesocotesc '
     'înțelepciunea și învățătura.',
     'Proverbele 1:7'),
    ('Încrede-te în Domnul din toată inima ta, și nu te bizui pe '
     'înțelepciunea ta!',
     'Proverbele 3:5'),
    ('Recunoaște-L în toate căile tale, și El îți va netezi cărările.',
     'Proverbele 3:6'),
    ('Păzește-ți inima mai mult decât orice, căci din ea ies izvoarele '
     'vieții.',
     'Proverbele 4:23'),
    ('Un răspuns blând potolește mânia, dar o vorbă aspră ațâță mânia.',
     'Proverbele 15:1'),
    ('Încredințează-ți lucrările în mâna Domnului, și îți vor izbuti '
     'planurile.',
     'Proverbele 16:3'),
    ('Toate își au vremea lor, și fiecare lucru de sub ceruri își are '
     'ceasul lui.',
     'Eclesiastul 3:1'),
    ('Căci un Copil ni s-a născut, un Fiu ni s-a dat, și domnia va fi pe '
     'umărul Lui; Îl vor numi: Minunat, Sfetnic, Dumnezeu tare, Părintele '
     'veșniciilor, Domn al păcii.',
     'Isaia 9:6'),
    ('Celui cu inima tare, Tu-i chezășuiești pacea, da, pacea, pentru că se '
     'încrede în Tine.',
     'Isaia 26:3'),
    ('Dar cei ce se încred în Domnul își înnoiesc puterea, ei zboară ca '
     'vulturii; aleargă, și nu obosesc, umblă, și nu ostenesc.',
     'Isaia 40:31'),
    ('Nu te teme, căci Eu sunt cu tine; nu te uita cu îngrijorare, căci Eu '
     'sunt Dumnezeul tău; Eu te întăresc, tot Eu îți vin în ajutor, Eu te '
     'sprijinesc cu dreapta Mea biruitoare.',
     'Isaia 41:10'),
    ('Dar El era străpuns pentru păcatele noastre, zdrobit pentru '
     'fărădelegile noastre. Pedeapsa, care ne dă pacea, a căzut peste El, '
     'și prin rănile Lui suntem tămăduiți.',
     'Isaia 53:5'),
    ('Căutați pe Domnul câtă vreme se poate găsi; chemați-L, câtă vreme '
     'este aproape!',
     'Isaia 55:6'),
    ('Căci Eu știu gândurile pe care le am cu privire la voi, zice Domnul, '
     'gânduri de pace și nu de nenorocire, ca să vă dau un viitor și o '
     'nădejde.',
     'Ieremia 29:11'),
    ('Bunătățile Domnului nu s-au sfârșit, îndurările Lui nu sunt la '
     'capăt, ci se înnoiesc în fiecare dimineață. Și credincioșia Ta este '
     'atât de mare!',
     'Plângerile lui Ieremia 3:22-23'),
    ('Ți s-a arătat, omule, ce este bine; și ce alta cere Domnul de la tine '
     'decât să faci dreptate, să iubești mila și să umbli smerit cu '
     'Dumnezeul tău?',
     'Mica 6:8'),
    ('Ferice de cei săraci în duh, căci a lor este Împărăția cerurilor!',
     'Matei 5:3'),
    ('Ferice de cei cu inima curată, căci ei vor vedea pe Dumnezeu!',
     'Matei 5:8'),
    ('Ferice de cei împăciuitori, căci ei vor fi chemați fii ai lui '
     'Dumnezeu!',
     'Matei 5:9'),
    ('Voi sunteți lumina lumii. O cetate așezată pe un munte nu poate să '
     'rămână ascunsă.',
     'Matei 5:14'),
    ('Tot așa să lumineze și lumina voastră înaintea oamenilor, ca ei să '
     'vadă faptele voastre bune și să slăvească pe Tatăl vostru care este '
     'în ceruri.',
     'Matei 5:16'),
    ('Căutați mai întâi Împărăția lui Dumnezeu și neprihănirea Lui, și '
     'toate aceste lucruri vi se vor da pe deasupra.',
     'Matei 6:33'),
    ('Nu vă îngrijorați dar de ziua de mâine; căci ziua de mâine se va '
     'îngrijora de ea însăși. Ajunge zilei necazul ei.',
     'Matei 6:34'),
    ('Cereți, și vi se va da; căutați, și veți găsi; bateți, și vi se va '
     'deschide.',
     'Matei 7:7'),
    ('Veniți la Mine, toți cei trudiți și împovărați, și Eu vă voi da '
     'odihnă.',
     'Matei 11:28'),
    ('Fiindcă nici un cuvânt de la Dumnezeu nu este lipsit de putere.',
     'Luca 1:37'),
    ('Slavă lui Dumnezeu în locurile preaînalte, și pace pe pământ între '
     'oamenii plăcuți Lui!',
     'Luca 2:14'),
    ('Ce voiți să vă facă vouă oamenii, faceți-le și voi la fel.',
     'Luca 6:31'),
    ('Pentru că Fiul omului a venit să caute și să mântuiască ce era '
     'pierdut.',
     'Luca 19:10'),
    ('La început era Cuvântul, și Cuvântul era cu Dumnezeu, și Cuvântul '
     'era Dumnezeu.',
     'Ioan 1:1'),
    ('Fiindcă atât de mult a iubit Dumnezeu lumea, că a dat pe singurul Lui '
     'Fiu, pentru ca oricine crede în El să nu piară, ci să aibă viața '
     'veșnică.',
     'Ioan 3:16'),
    ('Veți cunoaște adevărul, și adevărul vă va face slobozi.',
     'Ioan 8:32'),
    ('Eu sunt Păstorul cel bun. Păstorul cel bun își dă viața pentru oi.',
     'Ioan 10:11'),
    ('Vă dau o poruncă nouă: Să vă iubiți unii pe alții; cum v-am iubit '
     'Eu, așa să vă iubiți și voi unii pe alții.',
     'Ioan 13:34'),
    ('Să nu vi se tulbure inima. Aveți credință în Dumnezeu, și aveți '
     'credință în Mine.',
     'Ioan 14:1'),
    ('Vă las pacea, vă dau pacea Mea. Nu v-o dau cum o dă lumea. Să nu vi '
     'se tulbure inima, nici să nu se înspăimânte.',
     'Ioan 14:27'),
    ('Eu sunt Vița, voi sunteți mlădițele. Cine rămâne în Mine și în cine '
     'rămân Eu aduce multă roadă, căci despărțiți de Mine nu puteți face '
     'nimic.',
     'Ioan 15:5'),
    ('Nu este mai mare dragoste decât să-și dea cineva viața pentru '
     'prietenii săi.',
     'Ioan 15:13'),
    ('V-am spus aceste lucruri ca să aveți pace în Mine. În lume veți avea '
     'necazuri; dar îndrăzniți, Eu am biruit lumea.',
     'Ioan 16:33'),
    ('Dar Dumnezeu Își arată dragostea față de noi prin faptul că, pe când '
     'eram noi încă păcătoși, Hristos a murit pentru noi.',
     'Romani 5:8'),
    ('Fiindcă plata păcatului este moartea, dar darul fără plată al lui '
     'Dumnezeu este viața veșnică în Isus Hristos, Domnul nostru.',
     'Romani 6:23'),
    ('De altă parte, știm că toate lucrurile lucrează împreună spre binele '
     'celor ce iubesc pe Dumnezeu, și anume spre binele celor ce sunt '
     'chemați după planul Său.',
     'Romani 8:28'),
    ('Deci ce vom zice noi în fața tuturor acestor lucruri? Dacă Dumnezeu '
     'este pentru noi, cine va fi împotriva noastră?',
     'Romani 8:31'),
    ('Bucurați-vă în nădejde. Fiți răbdători în necaz. Stăruiți în '
     'rugăciune.',
     'Romani 12:12'),
    ('Nu te lăsa biruit de rău, ci biruiește răul prin bine.',
     'Romani 12:21'),
    ('Acum dar rămân aceste trei: credința, nădejdea și dragostea; dar cea '
     'mai mare dintre ele este dragostea.',
     '1 Corinteni 13:13'),
    ('Tot ce faceți să fie făcut cu dragoste!',
     '1 Corinteni 16:14'),
    ('Căci, dacă este cineva în Hristos, este o făptură nouă. Cele vechi '
     's-au dus: iată că toate lucrurile s-au făcut noi.',
     '2 Corinteni 5:17'),
    ('Purtați-vă sarcinile unii altora, și veți împlini astfel Legea lui '
     'Hristos.',
     'Galateni 6:2'),
    ('Căci prin har ați fost mântuiți, prin credință. Și aceasta nu vine de '
     'la voi; ci este darul lui Dumnezeu.',
     'Efeseni 2:8'),
    ('Dimpotrivă, fiți buni unii cu alții, miloși, și iertați-vă unul pe '
     'altul, cum v-a iertat și Dumnezeu pe voi în Hristos.',
     'Efeseni 4:32'),
    ('Bucurați-vă totdeauna în Domnul! Iarăși zic: Bucurați-vă!',
     'Filipeni 4:4'),
    ('Nu vă îngrijorați de nimic; ci, în orice lucru, aduceți cererile '
     'voastre la cunoștința lui Dumnezeu, prin rugăciuni și cereri, cu '
     'mulțumiri.',
     'Filipeni 4:6'),
    ('Și pacea lui Dumnezeu, care întrece orice pricepere, vă va păzi '
     'inimile și gândurile în Hristos Isus.',
     'Filipeni 4:7'),
    ('Pot totul în Hristos, care mă întărește.',
     'Filipeni 4:13'),
    ('Bucurați-vă întotdeauna. Rugați-vă neîncetat. Mulțumiți lui Dumnezeu '
     'pentru toate lucrurile; căci aceasta este voia lui Dumnezeu, în '
     'Hristos Isus, cu privire la voi.',
     '1 Tesaloniceni 5:16-18'),
    ('Căci Dumnezeu nu ne-a dat un duh de frică, ci de putere, de dragoste '
     'și de chibzuință.',
     '2 Timotei 1:7'),
    ('Și credința este o încredere neclintită în lucrurile nădăjduite, o '
     'puternică încredințare despre lucrurile care nu se văd.',
     'Evrei 11:1'),
    ('Isus Hristos este același ieri și azi și în veci!',
     'Evrei 13:8'),
    ('Dacă vreunuia dintre voi îi lipsește înțelepciunea, s-o ceară de la '
     'Dumnezeu, care dă tuturor cu mână largă și fără mustrare, și ea îi va '
     'fi dată.',
     'Iacov 1:5'),
    ('Dacă ne mărturisim păcatele, El este credincios și drept ca să ne '
     'ierte păcatele și să ne curățească de orice nelegiuire.',
     '1 Ioan 1:9'),
    ('Cine nu iubește n-a cunoscut pe Dumnezeu, pentru că Dumnezeu este '
     'dragoste.',
     '1 Ioan 4:8'),
    ('Noi Îl iubim pentru că El ne-a iubit întâi.',
     '1 Ioan 4:19'),
    ('Iată Eu stau la ușă și bat. Dacă aude cineva glasul Meu și deschide '
     'ușa, voi intra la el, voi cina cu el, și el cu Mine.',
     'Apocalipsa 3:20'),
]

# Typefaces installed with every edition of Windows 10 and Windows 11
# (none of them an optional feature or an Office font) that read well in
# large sizes and have every Romanian letter, ș ț with the comma below
# included, so that no verse falls back to another face.  Kept in strcmp
# order, which the fonts dialog's binary search relies on.
FONTS = [
    'Arial',
    'Calibri',
    'Cambria',
    'Candara',
    'Constantia',
    'Corbel',
    'Georgia',
    'Palatino Linotype',
    'Segoe UI',
    'Tahoma',
    'Times New Roman',
    'Verdana',
]

# The cedilla letters that stand in for ș ț where a code page lacks them.
CEDILLA = '\u015e\u015f\u0162\u0163'   # Ş ş Ţ ţ


class DataError(Exception):
    pass


def units(text):
    """Length in UTF-16 code units, as the program counts."""
    return len(text.encode('utf-16-le')) // 2


def encode_line(text, limit, what, encoding):
    if not text or text != text.strip():
        raise DataError('%s has surrounding blanks or is empty: %r'
                        % (what, text))
    if any(ch in text for ch in '\r\n\t'):
        raise DataError('%s holds a control character: %r' % (what, text))
    if any(ch in text for ch in CEDILLA):
        raise DataError('%s has a cedilla letter for ș or ț: %r' % (what, text))
    if text.startswith('\ufeff'):
        raise DataError('%s starts with a byte-order mark: %r' % (what, text))
    try:
        data = text.encode(encoding)
    except UnicodeEncodeError as e:
        raise DataError('%s cannot be written in %s: %r (%s)'
                        % (what, encoding, text, e))
    if units(text) > limit:
        raise DataError('%s is %d characters, more than %d: %r'
                        % (what, units(text), limit, text))
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
        lines.append(encode_line(line, VERSE_MAX, 'verse ' + reference,
                                 'utf-8'))
    if len(lines) < 50:
        raise DataError('only %d verses' % len(lines))
    return lines


def font_lines():
    lines = [encode_line(name, FONT_MAX, 'typeface', 'ascii')
             for name in FONTS]
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


def file_bytes(lines, mark):
    return mark + b''.join(line + b'\r\n' for line in lines)


def write_lines(name, lines, mark=b''):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(file_bytes(lines, mark))


def check_lines(name, lines, mark=b''):
    """True when the committed file is what this script writes."""
    try:
        with open(os.path.join(HERE, name), 'rb') as f:
            current = f.read()
    except OSError:
        current = None
    if current == file_bytes(lines, mark):
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
        ok = check_lines('versete.txt', verses, BOM)
        ok = check_lines('fonturi.txt', fonts) and ok
        return 0 if ok else 1
    write_lines('versete.txt', verses, BOM)
    write_lines('fonturi.txt', fonts)
    print('versete.txt: %d verses, longest %d characters'
          % (len(verses), max(units(v.decode('utf-8')) for v in verses)))
    print('fonturi.txt: %d typefaces' % len(fonts))
    return 0


if __name__ == '__main__':
    sys.exit(main())
