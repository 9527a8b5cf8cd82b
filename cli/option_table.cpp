#include "cli/option_table.h"

namespace
{
// The column of the usage text where an option's long name starts, and the
// width of the name and value before its description.
constexpr qsizetype NameIndent = 6;
constexpr qsizetype NameWidth = 18;
} // namespace

QString OptionUsageLines(const TCliOptionTable& Table)
{
    const QString continuation = QStringLiteral("\n") + QString(NameIndent + NameWidth + 1, QLatin1Char(' '));
    QString lines;
    for (const TCliOption& option : Table) {
        const bool letter = option.Names.first().size() == 1;
        QString name = QStringLiteral("--") + option.Names.constLast();
        if (option.TakesValue())
            name += QLatin1Char(' ') + option.ValueName;
        lines += (letter ? QStringLiteral("  -%1, ").arg(option.Names.first())
                         : QString(NameIndent, QLatin1Char(' '))) +
                 name.leftJustified(NameWidth) + QLatin1Char(' ') +
                 QString(option.Help).replace(QLatin1Char('\n'), continuation) + QLatin1Char('\n');
    }
    return lines;
}

const TCliOption* FindCliOption(const TCliOptionTable& Table, const QString& Name)
{
    for (const TCliOption& option : Table)
        if (option.Names.contains(Name))
            return &option;
    return nullptr;
}
