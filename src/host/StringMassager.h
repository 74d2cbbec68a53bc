#pragma once

#include "propertyframework/PropertyAbstract.h"

#include <QString>

namespace qelmar::sdk::ui {

// Rewrites what a user typed for a floating-point value into the form the conversion reads:
// surrounding blanks go, a decimal comma becomes a point, a typographic minus a plain one and
// a leading plus sign is dropped. An empty field stands for the property's current value, so
// clearing a field and leaving it changes nothing.
class StringMassager {
public:
    static QString prepareText(const PropertyAbstract<double>& property, const QString& text);
};

} // namespace qelmar::sdk::ui
