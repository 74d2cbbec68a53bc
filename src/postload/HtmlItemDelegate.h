#pragma once

#include <QStyledItemDelegate>

namespace qelmar::sdk::ui::postload {

// Paints list items whose text is a small HTML fragment. On a selected row the fragment's
// colours are swapped for ones that read on the highlight.
class HtmlItemDelegate : public QStyledItemDelegate {
public:
    explicit HtmlItemDelegate(QObject* parent);
    ~HtmlItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::postload
