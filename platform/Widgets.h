#pragma once

#include <QWidget>

class TControl;
class TForm;

// The widget of a control: paints through the control and passes its mouse
// moves and double clicks on.
class ControlWidget : public QWidget {
public:
    ControlWidget(TControl& control, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TControl& control_;
};

// The top-level widget of a form: its window settings, closing, the popup
// menu on a right click and file drops from the desktop.
class FormWidget : public QWidget {
public:
    explicit FormWidget(TForm& form);
    void SetAcceptFileDrops(bool accept);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TForm& form_;
};
