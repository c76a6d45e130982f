// TdfsSplitter: the bar between the tree panel and the list panel. Dragging it sizes the
// panel it is attached to; a button region in its middle collapses that panel to the
// minimum size and, on the next click, restores it.
#pragma once

#include <QWidget>

namespace g3 {

class TdfsSplitter : public QWidget {
    Q_OBJECT
public:
    enum class Align { Left, Top }; // the bar sits right of (Left) or below (Top) the panel

    explicit TdfsSplitter(QWidget* parent = nullptr);

    void setAlign(Align a);
    Align align() const { return align_; }
    // The panel the bar sizes; nullptr for none (then clicks on the button do nothing).
    void setControl(QWidget* panel) { control_ = panel; }
    QWidget* control() const { return control_; }

    static constexpr int kMinSize = 4;
    static constexpr int kButtonLength = 100;
    static constexpr int kClickSlop = 5; // most movement that still counts as a click

    bool isCollapsed() const { return collapsed_; }
    // The button region in the bar's own coordinates.
    QRect buttonRect() const;

signals:
    // The panel should take this width (Left) or height (Top); the owner lays it out.
    void sizeRequested(int size);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    int along(const QPoint& p) const; // coordinate in the sizing direction
    int panelSize() const;
    int maxPanelSize() const;
    void setHot(bool hot);
    void toggleCollapsed(int currentSize);

    Align align_ = Align::Left;
    QWidget* control_ = nullptr;
    bool collapsed_ = false;
    int restoreSize_ = 0;
    bool hot_ = false;
    bool sizing_ = false;
    bool pressOnButton_ = false;
    int pressGlobal_ = 0;
    int pressSize_ = 0;
};

} // namespace g3
