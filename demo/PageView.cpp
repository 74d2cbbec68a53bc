#include "PageView.h"

#include "exportengine/PlotRenderer.h"
#include "host/KernelStateChange.h"
#include "host/StateChangeEventInterface.h"
#include "host/StateChangeEventObservable.h"
#include "kernel/ApplicationModel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <boost/signals2/connection.hpp>

#include <cmath>

namespace qelmar::demo {

namespace {

using qelmar::standin::ApplicationModel;

// One page drawn at screen scale; a click picks the frame under the mouse.
class PageCanvas : public QWidget {
public:
    explicit PageCanvas(QWidget* parent)
        : QWidget(parent) {
        setObjectName(QStringLiteral("pageCanvas"));
        setCursor(Qt::PointingHandCursor);
    }

    void showPage(int page) {
        m_page = page;
        const QSizeF inches = qelmar::standin::pageArea(page).size();
        setFixedSize(static_cast<int>(std::ceil(inches.width() * scale())),
                     static_cast<int>(std::ceil(inches.height() * scale())));
        update();
    }
    int page() const { return m_page; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        qelmar::standin::paintPage(painter, m_page, scale(), true);
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        const QPointF inches = qelmar::standin::pageArea(m_page).topLeft() + event->position() / scale();
        const int frame = qelmar::standin::frameAt(m_page, inches);
        if (frame >= 0)
            ApplicationModel::instance().setCurrentFrame(frame); // announces the change itself
    }

private:
    static double scale() { return qelmar::standin::screenPixelsPerInch; }

    int m_page = -1;
};

int pageOfCurrentFrame() {
    ApplicationModel& model = ApplicationModel::instance();
    const auto* frame = model.currentFrame();
    return frame ? model.pageOf(frame->id) : -1;
}

} // namespace

struct PageView::Impl {
    QTabBar* tabs = nullptr;
    QScrollArea* scroll = nullptr;
    PageCanvas* canvas = nullptr;
    QTimer refresh;
    boost::signals2::scoped_connection kernelChanges;
    int lastCurrentPage = -1;

    // The tab follows the current frame when it moves to another page.
    void rebuild() {
        const auto& pages = ApplicationModel::instance().pages();
        const QSignalBlocker blocker(tabs);
        while (tabs->count() > static_cast<int>(pages.size()))
            tabs->removeTab(tabs->count() - 1);
        for (std::size_t page = 0; page < pages.size(); ++page) {
            const QString name = QString::fromStdString(pages[page].name);
            if (static_cast<int>(page) < tabs->count())
                tabs->setTabText(static_cast<int>(page), name);
            else
                tabs->addTab(name);
        }
        const int currentPage = pageOfCurrentFrame();
        if (currentPage >= 0 && currentPage != lastCurrentPage)
            tabs->setCurrentIndex(currentPage);
        lastCurrentPage = currentPage;
        canvas->showPage(tabs->currentIndex());
    }
};

PageView::PageView(QWidget* parent)
    : QWidget(parent)
    , m_impl(std::make_unique<Impl>()) {
    setObjectName(QStringLiteral("pageView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_impl->tabs = new QTabBar(this);
    m_impl->tabs->setObjectName(QStringLiteral("pageTabs"));
    m_impl->tabs->setExpanding(false);
    layout->addWidget(m_impl->tabs);
    m_impl->scroll = new QScrollArea(this);
    m_impl->scroll->setObjectName(QStringLiteral("pageScroll"));
    m_impl->scroll->setAlignment(Qt::AlignCenter);
    m_impl->canvas = new PageCanvas(m_impl->scroll);
    m_impl->scroll->setWidget(m_impl->canvas);
    layout->addWidget(m_impl->scroll, 1);

    connect(m_impl->tabs, &QTabBar::currentChanged, this,
            [this](int page) { m_impl->canvas->showPage(page); });
    // Changes come in bursts (a new frame announces the frames and the current frame); one
    // repaint after the burst is enough.
    m_impl->refresh.setSingleShot(true);
    m_impl->refresh.setInterval(0);
    connect(&m_impl->refresh, &QTimer::timeout, this, [this] { m_impl->rebuild(); });
    m_impl->kernelChanges =
        qelmar::sdk::StateChangeEventObservable::getInstance().connectToStateChangeSignalUnique(
            [this](const qelmar::sdk::StateChangeEventInterface& event) {
                switch (event.kind()) {
                case StateChange_FramesAltered:
                case StateChange_CurrentFrame:
                case StateChange_PageAltered:
                case StateChange_DataSetsAltered:
                case StateChange_VariablesAltered:
                case StateChange_LayoutFile:
                    m_impl->refresh.start();
                    break;
                default:
                    break;
                }
            });
    m_impl->rebuild();
}

PageView::~PageView() = default;

int PageView::shownPage() const {
    return m_impl->canvas->page();
}

} // namespace qelmar::demo
