#include "ui/screen_accessible.h"

// Core headers first (their names must not meet Qt's keywords).
#include "document/screen.h"
#include "forms/figure_list.h"
#include "render/draw_screen.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <map>
#include <vector>

#include "ui/document_window.h"

namespace qzarn::ui {

namespace {

// The slots holding a figure, in the order the figure list shows them.
std::vector<int> FigureSlots(const Screen& screen) {
  std::vector<int> filled;
  for (int i = 0; i < kFigureSlots; ++i)
    if (screen.Figures.record(i) != nullptr) filled.push_back(i);
  return filled;
}

class SurfaceAccessible;

// One figure of the screen. It holds the surface weakly: a figure interface
// asked after its screen closed is invalid, never a dangling read.
class FigureAccessible final : public QAccessibleInterface {
 public:
  FigureAccessible(ScreenSurface& surface, int slot) : surface_(&surface), slot_(slot) {}

  bool isValid() const override { return record() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    return surface_ != nullptr ? surface_->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return surface_ != nullptr ? QAccessible::queryAccessibleInterface(surface_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    const Screen* s = screen();
    if (s == nullptr || record() == nullptr) return {};
    switch (t) {
      case QAccessible::Name:
        return QString::fromStdString(FigureSpokenText(*s, slot_));
      case QAccessible::Description:
        return QString::fromStdString(FigureContentText(*s, slot_));
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  // A point is a small square around where it is drawn; any other figure
  // answers with the whole surface.
  QRect rect() const override {
    if (surface_ == nullptr) return {};
    const QRect whole(surface_->mapToGlobal(QPoint(0, 0)), surface_->size());
    const Screen* s = screen();
    const FigureRecord* r = record();
    const PointRecord* p = r != nullptr ? r->point() : nullptr;
    if (s == nullptr || p == nullptr || s->Figures[slot_].Computed == 0) return whole;
    const render::ViewParams view = render::ViewParamsFromView(s->View(), s->Font, nullptr);
    const QPoint at(static_cast<int>(view.view.PlaneToPixelX(p->X)),
                    static_cast<int>(view.view.PlaneToPixelY(p->Y)));
    if (!surface_->rect().contains(at)) return whole;
    return QRect(surface_->mapToGlobal(at) - QPoint(4, 4), QSize(9, 9));
  }
  QAccessible::Role role() const override { return QAccessible::Graphic; }
  QAccessible::State state() const override {
    QAccessible::State st;
    const Screen* s = screen();
    if (s == nullptr || record() == nullptr) {
      st.invalid = true;
      return st;
    }
    st.selectable = true;
    st.selected = s->SelectedIndex == slot_;
    st.invisible = s->Figures[slot_].Computed == 0;
    return st;
  }

 private:
  const Screen* screen() const;
  const FigureRecord* record() const {
    const Screen* s = screen();
    return s != nullptr ? s->Figures.record(slot_) : nullptr;
  }

  QPointer<ScreenSurface> surface_;
  int slot_;
};

class SurfaceAccessible final : public QAccessibleWidget {
 public:
  explicit SurfaceAccessible(ScreenSurface& surface)
      : QAccessibleWidget(&surface, QAccessible::Canvas), surface_(surface) {}
  ~SurfaceAccessible() override {
    for (const auto& [slot, id] : children_)
      QAccessible::deleteAccessibleInterface(id);
  }

  // Named after its screen, as its window is.
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    const QString title = surface_.document().windowTitle();
    return title.isEmpty() ? QStringLiteral("画面") : QStringLiteral("画面 ") + title;
  }

  int childCount() const override {
    const Screen* s = surface_.screen();
    return s != nullptr ? static_cast<int>(FigureSlots(*s).size()) : 0;
  }
  QAccessibleInterface* child(int index) const override {
    const Screen* s = surface_.screen();
    if (s == nullptr) return nullptr;
    const std::vector<int> filled = FigureSlots(*s);
    if (index < 0 || index >= static_cast<int>(filled.size())) return nullptr;
    const int slot = filled[static_cast<std::size_t>(index)];
    auto found = children_.find(slot);
    if (found == children_.end()) {
      auto* made = new FigureAccessible(surface_, slot);
      found = children_.emplace(slot, QAccessible::registerAccessibleInterface(made)).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < childCount(); ++i)
      if (this->child(i) == child) return i;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = childCount() - 1; i >= 0; --i)
      if (QAccessibleInterface* c = child(i);
          c != nullptr && c->rect().size() != surface_.size() && c->rect().contains(x, y))
        return c;
    return nullptr;
  }

 private:
  ScreenSurface& surface_;
  // The interface of each slot asked for, by its registered id.
  mutable std::map<int, QAccessible::Id> children_;
};

const Screen* FigureAccessible::screen() const {
  return surface_ != nullptr ? surface_->screen() : nullptr;
}

QAccessibleInterface* SurfaceFactory(const QString&, QObject* object) {
  if (auto* surface = dynamic_cast<ScreenSurface*>(object)) return new SurfaceAccessible(*surface);
  return nullptr;
}

}  // namespace

void InstallScreenAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&SurfaceFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace qzarn::ui
