#include "host/StringMassager.h"

#include "propertyframework/NumberText.h"

namespace qelmar::sdk::ui {

namespace {

QString currentValueText(const PropertyAbstract<double>& property) {
    return QString::fromStdString(formatNumber(property.retrieveValue()));
}

// Only an unambiguous comma is a decimal separator: one comma and no point ("1,5"). With both
// or several commas it is a group separator, which the validator refuses.
bool hasDecimalComma(const QString& text) {
    return text.count(QLatin1Char(',')) == 1 && !text.contains(QLatin1Char('.'));
}

} // namespace

QString StringMassager::prepareText(const PropertyAbstract<double>& property, const QString& text) {
    QString prepared = text.trimmed();
    if (prepared.isEmpty())
        return currentValueText(property);
    prepared.replace(QChar(0x2212), QLatin1Char('-'));
    if (prepared.startsWith(QLatin1Char('+')))
        prepared.remove(0, 1);
    if (hasDecimalComma(prepared))
        prepared.replace(QLatin1Char(','), QLatin1Char('.'));
    return prepared;
}

} // namespace qelmar::sdk::ui
