#pragma once

#include "host/StyleValue.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"
#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/SignalConnectionCollection.h"

#include <gtest/gtest.h>

#include <boost/bind/bind.hpp>

#include <string>
#include <vector>

namespace qelmar::sdk::styleproperties::test {

using standin::StyleDefinition;
using standin::StylePath;

enum Fruit_e { Fruit_Apple = 1, Fruit_Pear = 2, Fruit_Plum = 3 };

inline const StylePath countPath{"Test", "Count"};
inline const StylePath flagPath{"Test", "Flag"};
inline const StylePath ratioPath{"Test", "Ratio"};
inline const StylePath titlePath{"Test", "Title"};
inline const StylePath fruitPath{"Test", "Fruit"};

inline toolbox::StyleValue styleValueOf(const StylePath& path) {
    toolbox::StringList names;
    for (const auto& name : path)
        names.append(name);
    return toolbox::StyleValue(names);
}

// A kernel with one style value of each kind; "Count" has three instances.
class StylePropertyTest : public ::testing::Test {
protected:
    StylePropertyTest() {
        styles.define(countPath, StyleDefinition::integer(5, 0, 100).withInstances(3));
        styles.define(flagPath, StyleDefinition::boolean(false));
        styles.define(ratioPath, StyleDefinition::real(0.5, 0.0, 1.0));
        styles.define(titlePath, StyleDefinition::text("untitled"));
        styles.define(fruitPath,
                      StyleDefinition::enumeration(Fruit_Apple, {Fruit_Apple, Fruit_Pear, Fruit_Plum}));
    }

    standin::testing::KernelTestControl kernel;
    standin::testing::StyleTestControl styles;
};

// Listens to a property's value-changed signal the way a binding does, and forgets the
// connection when it dies.
template <typename T> class ValueRecorder {
public:
    explicit ValueRecorder(const PropertyAbstract<T>& property) {
        m_connections.add(property.connectToValueChangedSignal(
            boost::bind(&ValueRecorder::record, this, boost::placeholders::_1)));
    }

    const std::vector<T>& values() const { return m_values; }
    void clear() { m_values.clear(); }

private:
    void record(const T& value) { m_values.push_back(value); }

    std::vector<T> m_values;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::styleproperties::test
