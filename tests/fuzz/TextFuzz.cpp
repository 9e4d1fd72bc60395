// Arbitrary bytes through every reader of text that comes from outside the program. The first byte picks
// the reader, the rest is its input:
//   0  the settings file: reads, and a write that must read back as written and leave other keys alone;
//   1  a language file applied to both windows: every text valid UTF-8 and at most 255 characters;
//   2  the interval rule with arbitrary unit words: only 1 to 32,767 minutes, and every entry of the
//      interval list reads back as its own number;
//   3  a file name as the log shows it: valid UTF-8 without control characters, unchanged when it was
//      printable already.
// Nothing may crash or hang.
#include "form/Captions.h"
#include "form/MainForm.h"
#include "form/PrintableName.h"
#include "platform/model/DialogModel.h"
#include "platform/model/WindowModel.h"
#include "schedule/IntervalChoices.h"
#include "settings/LanguageCatalogue.h"
#include "store/IniStore.h"
#include "store/TextEncoding.h"
#include "store/Utf8.h"
#include "tests/fakes/FakePlatform.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

using namespace carrovex;
using carrovex::testing::FakePlatform;

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool isShowableText(const std::string& text)
{
    std::size_t position = 0;
    std::size_t characters = 0;
    while (position < text.size()) {
        if (!nextCodePoint(text, position)) {
            return false;
        }
        ++characters;
    }
    return characters <= 255;
}

// A value the store can keep: one line, no blanks at either end, valid in the program's own text.
std::string storableValueFrom(const std::string& bytes)
{
    std::string value;
    for (const char c : bytes.substr(0, 64)) {
        if (c >= 0x21 && c <= 0x7E) {
            value += c;
        }
    }
    return value + "Zürich東京";
}

void fuzzSettingsFile(const std::string& bytes)
{
    FakePlatform platform;
    platform.textFiles.files[platform.ini.settingsFile] = bytes;
    IniStore& ini = platform.ini;
    for (const char* key : {"From", "To", "Interval", "Language", "ShowLog"}) {
        require(isShowableText(ini.ReadIniValue("Options", key, "default", iniValueSize)));
    }
    const std::string untouched = ini.ReadIniValue("Options", "To", "default", iniValueSize);
    const std::string value = storableValueFrom(bytes);
    ini.WriteIniValue("Options", "From", value);
    require(ini.ReadIniValue("Options", "From", "default", iniValueSize) == value.substr(0, 255));
    require(ini.ReadIniValue("Options", "To", "default", iniValueSize) == untouched);
}

void fuzzLanguageFile(const std::string& bytes)
{
    FakePlatform platform;
    platform.ini.languageFile = "/prog/lang/Fuzz.dat";
    platform.textFiles.files[platform.ini.languageFile] = bytes;
    WindowModel window;
    MainForm form {
        window, platform.files, platform.drives, platform.clock, platform.ini, platform.numbers, {}, {}, {}, {}};
    LoadLanguage(form);
    for (const std::string& text : form.texts) {
        require(isShowableText(text));
    }
    for (const std::string& caption :
        {stoppedCaption(form.texts), countdownCaption(form.texts, 1), runDueCaption(form.texts)}) {
        require(isValidUtf8(caption));
    }
    DialogModel dialog;
    LoadLanguage(dialog, platform.ini);
    for (const DialogControl control : {DialogControl::SaveOnClose, DialogControl::Save}) {
        require(isShowableText(dialog.text(control)));
    }
}

void fuzzIntervalText(const std::string& bytes)
{
    // singular word, NUL, plural word, NUL, the field's text
    const auto first = bytes.find('\0');
    const auto second = first == std::string::npos ? first : bytes.find('\0', first + 1);
    if (second == std::string::npos) {
        return;
    }
    LanguageTexts texts;
    texts[4] = bytes.substr(0, first);
    texts[5] = bytes.substr(first + 1, second - first - 1);
    const std::string field = bytes.substr(second + 1);
    for (const char* separator : {".", ","}) {
        if (const auto minutes = minutesFromText(withoutUnitWords(field, texts), separator)) {
            require(*minutes >= 1 && *minutes <= longestInterval);
        }
    }
    // The rule gives the number back for the words a language uses: valid text (as every text read from a
    // language file is), one word each, the singular not beginning with the plural (which goes first).
    const auto isWord = [](const std::string& word) {
        return !word.empty() && isValidUtf8(word) && word.find_first_of(" \t") == std::string::npos;
    };
    if (!isWord(texts[4]) || !isWord(texts[5]) || foldCase(texts[4]).starts_with(foldCase(texts[5]))) {
        return;
    }
    for (const std::int32_t choice : intervalChoices) {
        require(minutesFromText(withoutUnitWords(intervalText(texts, choice), texts), ".") == choice);
    }
}

void fuzzFileName(const std::string& bytes)
{
    const auto printable = [](const std::string& text) {
        return isValidUtf8(text) && std::ranges::none_of(text, [](char c) { return std::iscntrl(c & 0xFF) != 0; });
    };
    const std::string shown = printableName(bytes);
    require(printable(shown));
    if (printable(bytes)) {
        require(shown == bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        fuzzSettingsFile(bytes);
        break;
    case 1:
        fuzzLanguageFile(bytes);
        break;
    case 2:
        fuzzIntervalText(bytes);
        break;
    default:
        fuzzFileName(bytes);
        break;
    }
    return 0;
}
