#pragma once

#include <QWidget>

#include <memory>

namespace qelmar::demo {

// The application's pages as the kernel draws them, one tab per page, at screen scale: the
// current frame is outlined, and clicking a frame makes it the current one. Follows the kernel's
// announcements of changed pages, frames and data.
class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent = nullptr);
    ~PageView() override;

    // The page shown (from 0); -1 while the application has no page.
    int shownPage() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::demo
