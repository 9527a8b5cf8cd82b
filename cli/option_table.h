#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// An option of a command, declared once: the command's usage text and its
// parsing are both read from its table, so the two cannot disagree.
struct TCliOption {
    QStringList Names; // a letter first when there is one: {"o", "output"}
    QString ValueName; // as the usage text shows it; empty for a switch
    QString Help;      // the usage text's description; each '\n' starts an indented line
    // Stores Value, given for the option typed as Name (without dashes; a
    // switch gets no value). False settles the command's outcome: Error then
    // holds the usage error, or stays empty for an option such as --help.
    std::function<bool(const QString& Name, const QString& Value, QString& Error)> Store;
    // Each value given counts, in the order typed, instead of the last only
    // (for commands that read options by name rather than in the order typed).
    bool EveryValue = false;

    bool TakesValue() const { return !ValueName.isEmpty(); }
};

using TCliOptionTable = std::vector<TCliOption>;

// The usage lines of the table's options, in its order.
QString OptionUsageLines(const TCliOptionTable& Table);

// The option with Name (without dashes) in Table, or nullptr.
const TCliOption* FindCliOption(const TCliOptionTable& Table, const QString& Name);
