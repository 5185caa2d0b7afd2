#include "cd/LCDIsoNames.h"

namespace LCDIsoNames {

void Split(const std::string& name, std::string& title, std::string& extension)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        title = name;
        extension.clear();
    } else {
        title = name.substr(0, dot);
        extension = name.substr(dot + 1);
    }
}

std::string IsoChars(const std::string& text, size_t max, bool keepSpaces)
{
    std::string out;
    for (char ch : text) {
        if (out.size() >= max)
            break;
        char c = ch;
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || (keepSpaces && c == ' '))
            out += c;
    }
    return out;
}

std::string ShortName(const std::string& name)
{
    std::string title, extension;
    Split(name, title, extension);
    title = IsoChars(title, 8);
    extension = IsoChars(extension, 3);
    // A record needs a name: a title of accents only would leave none.
    if (title.empty() && extension.empty())
        title = "_";
    return extension.empty() ? title : title + "." + extension;
}

std::u16string Ucs2(const std::string& utf8)
{
    std::u16string out;
    const size_t n = utf8.size();
    for (size_t i = 0; i < n;) {
        const uint8_t b = uint8_t(utf8[i]);
        int32_t extra;
        uint32_t cp;
        if (b < 0x80) {
            out += char16_t(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            cp = b & 0x07;
        } else {
            out += u'_';
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool ok = true;
        for (int32_t k = 0; k < extra; ++k, ++j) {
            if (j >= n || (uint8_t(utf8[j]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (uint8_t(utf8[j]) & 0x3F);
        }
        // Overlong forms, surrogates and characters beyond the BMP have no UCS-2 form.
        const uint32_t least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
        if (!ok || cp < least || cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += u'_';
            i = ok ? j : i + 1;
            continue;
        }
        out += char16_t(cp);
        i = j;
    }
    return out;
}

namespace {

template <typename S> S Cut(const S& name, size_t titleMax, const S& suffix)
{
    using C = typename S::value_type;
    const size_t dot = name.rfind(C('.'));
    const S title = dot == S::npos ? name : name.substr(0, dot);
    const S extension = dot == S::npos ? S() : name.substr(dot);
    return title.substr(0, titleMax) + suffix + extension;
}

} // namespace

std::string WithCounter(const std::string& name, size_t titleMax, const std::string& suffix)
{
    return Cut(name, titleMax, suffix);
}

std::u16string WithCounter(const std::u16string& name, size_t titleMax, const std::u16string& suffix)
{
    return Cut(name, titleMax, suffix);
}

std::u16string JolietName(const std::string& name)
{
    std::u16string u = Ucs2(name);
    for (char16_t& c : u)
        if (c < 0x20 || c == u'*' || c == u'/' || c == u':' || c == u';' || c == u'?' || c == u'\\')
            c = u'_';
    if (u.size() <= kJolietMax)
        return u;
    const size_t dot = u.rfind(u'.');
    const size_t extension = dot == std::u16string::npos ? 0 : u.size() - dot;
    if (extension == 0 || extension >= kJolietMax)
        return u.substr(0, kJolietMax);
    return Cut(u, kJolietMax - extension, std::u16string());
}

size_t Digits(int32_t k)
{
    size_t d = 1;
    while (k >= 10) {
        k /= 10;
        ++d;
    }
    return d;
}

} // namespace LCDIsoNames
