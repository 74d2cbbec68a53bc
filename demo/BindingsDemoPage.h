#pragma once

#include <QWidget>

#include <memory>

namespace qelmar::demo {

// A small form with one control of every binding kind, bound to properties with validators
// and relevances, to try the bindings by hand: out-of-range entries are refused with the
// validator's message, and controls enable or hide themselves as the choices change.
class BindingsDemoPage : public QWidget {
public:
    explicit BindingsDemoPage(QWidget* parent = nullptr);
    ~BindingsDemoPage() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::demo
