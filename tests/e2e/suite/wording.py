"""What the program's reports say in each language the suite runs it in.
The program's own words are checked exactly. The system's text (the C
library's, or Wine's) changes from one release to the next, so only its
number and its script are checked: Cyrillic under a Russian locale, Latin
letters alone otherwise."""

import re

RUSSIAN = "ru_RU.UTF-8"

WORDS = {
    "en": {"box title": "Thermometer", "error": "Error",
           "port missing": "No such device: the port does not exist",
           "save failed": "The readings could not be saved. ",
           # Standard output: which device port 1 is, and how late it
           # answers (the group: the delay in ms).
           "port is": "thermometer: port 1 is {}",
           "answers within": r"thermometer: port 1 answers within (\d+) ms"},
    "ru": {"box title": "Термометр", "error": "Ошибка",
           "port missing": "Нет такого устройства: порта не существует",
           "save failed": "Не удалось сохранить показания. ",
           "port is": "thermometer: порт 1: {}",
           "answers within": r"thermometer: порт 1 отвечает за (\d+) мс"},
}

CYRILLIC = re.compile(r"[А-Яа-яЁё]")
LATIN = re.compile(r"[A-Za-z]")


def language(locale):
    """The program's rule, for the locales the suite uses."""
    return "ru" if locale.startswith("ru") else "en"


def words(locale):
    return WORDS[language(locale)]


def box_title(locale):
    return words(locale)["box title"]


def error_pattern(locale, what):
    """A report beginning with the catalogue's `what`; groups: the number,
    then the system's text up to the note or the device."""
    w = words(locale)
    lead = re.escape(w["save failed"]) if what == "save failed" else ""
    tail = "" if what == "save failed" else re.escape(w[what]) + ": "
    return re.compile(rf"{lead}{re.escape(w['error'])} (-?\d+): {tail}([^;(]+)")


def in_script(text, locale):
    """Whether the system's text is written as the locale's language is."""
    if language(locale) == "ru":
        return CYRILLIC.search(text) is not None
    return LATIN.search(text) is not None and CYRILLIC.search(text) is None


def check_report(c, text, locale, what, number):
    """One check: `text` holds the report of `what` with this error
    number, in the locale's language."""
    m = error_pattern(locale, what).search(text)
    ok = m is not None and m[1] == str(number) and in_script(m[2].strip(), locale)
    return c.expect(ok, f"the report reads '{words(locale)[what]}', {words(locale)['error']} "
                        f"{number}, the system's text in {language(locale)} ({text.strip()!r})")
