#pragma once
// Thin helpers over boost::format: positional "%1%" placeholders and
// printf-style directives. Mismatched argument counts throw boost::format's
// own exceptions.
#include <boost/format.hpp>

#include <string>

namespace CV::BAS::DETAIL {

template <typename CharT> struct FormatHelper {
    using FormatResultStringType = std::basic_string<CharT>;
    using FormatType = boost::basic_format<CharT>;
};

// Formats one value into the format text.
template <typename CharT, typename T>
typename FormatHelper<CharT>::FormatResultStringType BasicFormat(const CharT* format, const T& value)
{
    typename FormatHelper<CharT>::FormatType formatter(format);
    formatter % value;
    return formatter.str();
}

template <typename CharT> struct FormatApply {
    // Feeds the arguments in order into a prepared format.
    template <typename... Args>
    static typename FormatHelper<CharT>::FormatResultStringType apply(typename FormatHelper<CharT>::FormatType format,
                                                                      const Args&... args)
    {
        static_cast<void>((format % ... % args));
        return format.str();
    }
};

} // namespace CV::BAS::DETAIL
