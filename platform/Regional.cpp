#include "platform/Regional.h"

#include <climits>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace Regional {

TFormatSettings& Current()
{
    static TFormatSettings settings = FromSystem();
    return settings;
}

TFormatSettings UnitedStates()
{
    return TFormatSettings{};
}

int PositivePattern(bool symbolFirst, bool separatedBySpace)
{
    return (symbolFirst ? 0 : 1) + (separatedBySpace ? 2 : 0);
}

int NegativePattern(bool symbolFirst, bool separatedBySpace, int signPosition)
{
    // Rows: sign position 0 (parentheses), 1 (before all), 2 (after all), 3 (before the
    // symbol), 4 (after the symbol).
    static const int symbolFirstTight[] = {0, 1, 3, 1, 2};
    static const int symbolFirstSpaced[] = {14, 9, 11, 9, 12};
    static const int symbolLastTight[] = {4, 5, 7, 6, 7};
    static const int symbolLastSpaced[] = {15, 8, 10, 13, 10};
    if (signPosition < 0 || signPosition > 4)
        signPosition = 1;
    if (symbolFirst)
        return separatedBySpace ? symbolFirstSpaced[signPosition] : symbolFirstTight[signPosition];
    return separatedBySpace ? symbolLastSpaced[signPosition] : symbolLastTight[signPosition];
}

QString FromStrftime(const QString& picture)
{
    QString out;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        if (picture[i] != '%' || i + 1 == picture.size()) {
            out += picture[i];
            continue;
        }
        const QChar c = picture[++i];
        switch (c.unicode()) {
        case 'd': out += "dd"; break;
        case 'e': out += "d"; break;
        case 'm': out += "MM"; break;
        case 'y': out += "yy"; break;
        case 'Y': out += "yyyy"; break;
        case 'H': out += "hh"; break;
        case 'I': out += "hh"; break;
        case 'M': out += "nn"; break;
        case 'S': out += "ss"; break;
        case 'p': out += "AMPM"; break;
        case 'D': out += "MM/dd/yy"; break;
        case 'T': out += "hh:nn:ss"; break;
        case 'r': out += "hh:nn:ss AMPM"; break;
        case '%': out += '%'; break;
        default: break; // other fields have no counterpart and are left out
        }
    }
    return out.trimmed();
}

namespace {
QString Local(const char* text)
{
    return QString::fromLocal8Bit(text ? text : "");
}
} // namespace

TFormatSettings FromSystem()
{
    TFormatSettings s = UnitedStates();
    locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
    if (!loc)
        return s; // the environment names a locale that is not installed: "C" applies
    const locale_t previous = uselocale(loc);
    const lconv* lc = localeconv();
    const QString decimal = Local(lc->decimal_point);
    const QString thousands = Local(lc->thousands_sep);
    const QString symbol = Local(lc->currency_symbol);
    // The "C" and "POSIX" locales have no currency symbol: the United States values apply.
    const bool plain = symbol.isEmpty() && decimal == ".";
    if (!plain) {
        if (decimal.size() == 1)
            s.DecimalSeparator = decimal[0];
        // A locale that does not group numbers still groups money; a separator equal to the
        // decimal one would make numbers ambiguous, so a no-break space stands in.
        if (thousands.size() == 1)
            s.ThousandSeparator = thousands[0];
        else if (thousands.isEmpty() && !Local(lc->mon_thousands_sep).isEmpty())
            s.ThousandSeparator = Local(lc->mon_thousands_sep)[0];
        if (s.ThousandSeparator == s.DecimalSeparator)
            s.ThousandSeparator = QChar(0x00A0);
        if (!symbol.isEmpty())
            s.CurrencyString = symbol;
        if (lc->frac_digits != CHAR_MAX)
            s.CurrencyDecimals = lc->frac_digits;
        if (lc->p_cs_precedes != CHAR_MAX)
            s.CurrencyFormat = PositivePattern(lc->p_cs_precedes == 1, lc->p_sep_by_space == 1);
        if (lc->n_cs_precedes != CHAR_MAX)
            s.NegCurrFormat = NegativePattern(lc->n_cs_precedes == 1, lc->n_sep_by_space == 1,
                                              lc->n_sign_posn == CHAR_MAX ? 1 : lc->n_sign_posn);
        const QString date = FromStrftime(Local(nl_langinfo_l(D_FMT, loc)));
        const QString time = FromStrftime(Local(nl_langinfo_l(T_FMT, loc)));
        if (!date.isEmpty())
            s.ShortDateFormat = date;
        if (!time.isEmpty())
            s.LongTimeFormat = time;
        const QString am = Local(nl_langinfo_l(AM_STR, loc));
        const QString pm = Local(nl_langinfo_l(PM_STR, loc));
        s.TimeAMString = am;
        s.TimePMString = pm;
    }
    uselocale(previous);
    freelocale(loc);
    return s;
}

} // namespace Regional
