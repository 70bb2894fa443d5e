// A window built from its layout table: controls reachable by name (and by
// index for control arrays), tab order from the tab places, accessible names
// from the labels, twips converted through the screen's logical DPI.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "ui/layout.h"

class QPushButton;

namespace ui {

// A caption as read aloud: without the marker of its keyboard mnemonic
// ("&Cerrar" -> "Cerrar", "&&" -> "&").
QString withoutMnemonic(const QString& caption);

class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(const WindowLayout& layout, QWidget* parent = nullptr);

    const WindowLayout& layout() const { return layout_; }

    // The control of that name (and index), or nullptr.
    QWidget* control(const QString& name, int index = -1) const;
    template <class T> T* as(const QString& name, int index = -1) const {
        return qobject_cast<T*>(control(name, index));
    }
    // The control of that name (and index) as the kind the window's code takes
    // it for. A window builds its handles with it once, when it is made: a
    // control missing from the layout, or of another kind, is a fault of the
    // program, which then stops at once with a message naming the window and
    // the control (in the tests too).
    template <class T> T* require(const char* name, int index = -1) const {
        QWidget* found = control(QString::fromUtf8(name), index);
        if (auto* typed = qobject_cast<T*>(found))
            return typed;
        missingControl(name, index, found, T::staticMetaObject.className());
    }
    // Every control in the layout's order (the window's control order).
    const std::vector<QWidget*>& controls() const { return controls_; }
    const ControlSpec* entry(const QWidget* control) const;  // nullptr when not ours
    int tabPlace(const QWidget* control) const;              // -1 when none

    // twips <-> pixels through the window's logical DPI (15 twips a pixel at 96 DPI).
    int twipsToPixelsX(int twips) const;
    int twipsToPixelsY(int twips) const;

    // The legend of a window's grids: paints into the picture label the grids'
    // two row markers (editing, last row), each level with the label that
    // explains it. Does nothing when one of the three is missing.
    void paintRowMarkers(QWidget* picture, QWidget* editingLabel, QWidget* lastLabel);

    // The accessible name given to an input control that has no label: its
    // name as words, kind prefix dropped ("TipoProg" -> "Tipo Prog",
    // "txtAdmLocal" -> "Adm Local").
    static QString nameInWords(const ControlSpec& entry);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    [[noreturn]] void missingControl(const char* name, int index, const QWidget* found, const char* kind) const;
    void build();
    void place();
    void nameForAccessibility();
    void orderTabs();
    QWidget* containerOf(const ControlSpec& entry) const;

    const WindowLayout& layout_;
    std::vector<QWidget*> controls_;
    std::vector<const ControlSpec*> specs_;
    QPushButton* defaultButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace ui
