// Guessing the charset of a file's bytes for the "autodetect" and
// "Japanese autodetect" charsets.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Settings;

// Which languages the marker search may report (the enc_det_* settings).
struct CharsetDetectFlags {
    bool koi8u = false;
    bool koi8r = false;
    bool cp1251 = false;
    bool cp866 = false;
    bool finnish = false;
    bool portuguese = false;
    bool slovak = false;
    bool slovenian = false;
    bool turkish = false;
    bool spanish = false;
    bool polish = false;
    bool latvian = false;
    bool german = false;
    bool serbian = false;
};

CharsetDetectFlags charset_detect_flags(const Settings& s);

// One language of the marker search: the charset it stands for and its marker
// words as bytes of the charset they are written in.
struct CharsetMarkerLanguage {
    bool CharsetDetectFlags::*flag;
    const char* result;
    std::vector<std::string> markers;
};

// The languages in the order they are tried; the first one enabled whose marker
// occurs anywhere in the bytes wins.
const std::vector<CharsetMarkerLanguage>& charset_marker_languages();

// "UTF-8" for valid UTF-8 (whatever the flags), else the charset of the first
// enabled language with a marker in the bytes, else none. When that charset is
// ISO-8859-1, -15, -2, -9 or -13 and the bytes hold any of 0x80-0x9F, the answer
// is the matching Windows code page (CP1252, CP1252, CP1250, CP1254, CP1257),
// unless a byte is undefined there.
std::optional<std::string> charset_autodetect(std::string_view bytes,
                                              const CharsetDetectFlags& flags);

// The same search without processor-specific instructions; same results.
std::optional<std::string> charset_autodetect_portable(std::string_view bytes,
                                                       const CharsetDetectFlags& flags);

// "ISO-2022-JP-2", "UTF-8", "Shift_JIS" or "EUC-JP"; never none.
std::string japanese_autodetect(std::string_view bytes);

// UTF-8 validity as the rest of the program checks it (GLib's rule: a NUL byte
// makes the text invalid), with a fast path over ASCII runs.
bool bytes_are_utf8(std::string_view bytes);
