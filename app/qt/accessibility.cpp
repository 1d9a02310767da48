#include "app/qt/accessibility.h"

#include "app/form_layout.h"
#include "app/qt/main_window.h"

#include <QAccessibleWidget>

#include <algorithm>
#include <iterator>
#include <vector>

namespace kestrand::qtui {
namespace {

using layout::Control;

// Children are read in creation order, which is also the stacking order: the captions of three
// levels come after their values there, and restacking would change which of two controls that
// share a pixel column draws it. So only the order a reader walks is changed, to the layout's.
using layout::kReadingOrder;

class ReadingOrderWindow final : public QAccessibleWidget {
public:
    // Qt takes a bare top-level QWidget for a client area; a reader should meet a window.
    explicit ReadingOrderWindow(MainWindow* window)
        : QAccessibleWidget(window, QAccessible::Window), window_(window) {}

    [[nodiscard]] QAccessibleInterface* child(int index) const override {
        const std::vector<QAccessibleInterface*> children = ordered();
        if (index < 0 || static_cast<std::size_t>(index) >= children.size()) {
            return nullptr;
        }
        return children[static_cast<std::size_t>(index)];
    }

    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<QAccessibleInterface*> children = ordered();
        const auto found = std::find(children.begin(), children.end(), child);
        return found == children.end() ? -1 : static_cast<int>(found - children.begin());
    }

private:
    // Where object comes in kReadingOrder; anything else Qt lists goes after, as Qt lists it.
    [[nodiscard]] std::size_t rank(const QObject* object) const {
        const auto found = std::find_if(kReadingOrder.begin(), kReadingOrder.end(),
                                        [&](Control id) { return window_->control(id) == object; });
        return static_cast<std::size_t>(std::distance(kReadingOrder.begin(), found));
    }

    // Qt's own list of children, reordered: nothing is added or left out.
    [[nodiscard]] std::vector<QAccessibleInterface*> ordered() const {
        std::vector<QAccessibleInterface*> children;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            children.push_back(QAccessibleWidget::child(i));
        }
        std::stable_sort(children.begin(), children.end(),
                         [this](const QAccessibleInterface* a, const QAccessibleInterface* b) {
                             return rank(a->object()) < rank(b->object());
                         });
        return children;
    }

    MainWindow* window_;
};

QAccessibleInterface* readingOrderFactory(const QString& /*className*/, QObject* object) {
    auto* const window = dynamic_cast<MainWindow*>(object);
    if (window == nullptr) {
        return nullptr;
    }
    return new ReadingOrderWindow(window);
}

} // namespace

void installReadingOrder() {
    static const bool installed = [] {
        QAccessible::installFactory(readingOrderFactory);
        return true;
    }();
    (void)installed;
}

} // namespace kestrand::qtui
