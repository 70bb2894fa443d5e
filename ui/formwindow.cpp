#include "ui/formwindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>
#include <map>

#include "ui/codedcombo.h"
#include "ui/datagrid.h"
#include "ui/keys.h"
#include "ui/maskededit.h"

namespace ui {

namespace {

QString text(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

// A font family of the layout tables, with the metric twins that take its
// place where it is missing (Wine and Linux have no Arial), so that captions
// keep the widths they were laid out for.
QStringList families(const QString& family) {
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return {family, QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")};
    return {family};
}

bool takesInput(Kind k) {
    switch (k) {
    case Kind::TextBox:
    case Kind::MaskedEdit:
    case Kind::ComboBox:
    case Kind::ListBox:
    case Kind::RichText: return true;
    default: return false;
    }
}

}  // namespace

QString withoutMnemonic(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (++i >= caption.size())
                break;  // the next character is shown ("&&" shows one ampersand)
        }
        out.append(caption[i]);
    }
    return out;
}

FormWindow::FormWindow(const WindowLayout& layout, QWidget* parent) : QWidget(parent), layout_(layout) {
    setObjectName(text(layout.name));
    // The tables were laid out for an 8-point Arial; a larger or wider font
    // would not fit the labels into their places.
    QFont f = font();
    f.setFamilies(families(QStringLiteral("Arial")));
    f.setPointSizeF(8);
    setFont(f);
    setWindowTitle(text(layout.caption));
    build();
    place();
    nameForAccessibility();
    orderTabs();
}

void FormWindow::build() {
    controls_.reserve(layout_.count);
    specs_.reserve(layout_.count);
    for (int i = 0; i < layout_.count; ++i) {
        const ControlSpec& s = layout_.controls[i];
        const QString caption = text(s.caption);
        QWidget* w = nullptr;
        switch (s.kind) {
        case Kind::Label: {
            auto* l = new QLabel(caption);
            // Several lines only where the table gives the label room for them.
            l->setWordWrap(s.height >= 2 * 15 * QFontMetrics(font()).height());
            w = l;
            break;
        }
        case Kind::TextBox: {
            auto* e = new QLineEdit;
            if (s.maxLength > 0)
                e->setMaxLength(s.maxLength);
            guardStorable(e);
            e->setText(caption);
            w = e;
            break;
        }
        case Kind::MaskedEdit: {
            auto* e = new MaskedEdit;
            e->setMask(text(s.mask));
            if (s.maxLength > 0 && !s.mask)
                e->setMaxLength(s.maxLength);
            w = e;
            break;
        }
        case Kind::ComboBox: w = new CodedComboBox; break;
        case Kind::CheckBox: w = new QCheckBox(caption); break;
        case Kind::Frame: {
            // The caption sits on the frame's top line, so what the table
            // places near the top is not covered by it.
            auto* g = new QGroupBox(caption);
            g->setStyleSheet(
                QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
                               "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                               " left: 6px; padding: 0 2px; }"));
            w = g;
            break;
        }
        case Kind::TabControl: w = new QTabWidget; break;
        case Kind::TabPage: w = new QWidget; break;
        case Kind::Grid: {
            auto* g = new DataGrid;
            if (s.caption)
                g->setCaption(caption);
            w = g;
            break;
        }
        case Kind::PictureButton: {
            auto* b = new QToolButton;
            // A neutral picture until the window gives the button its own.
            b->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
            b->setText(caption.isEmpty() ? text(s.toolTip) : caption);
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);
            b->setFocusPolicy(Qt::StrongFocus);  // reachable from the keyboard
            w = b;
            break;
        }
        case Kind::Button: {
            auto* b = new QPushButton(caption);
            b->setDefault(s.isDefault);
            if (s.isDefault)
                defaultButton_ = b;
            if (s.isCancel)
                cancelButton_ = b;
            w = b;
            break;
        }
        case Kind::ListBox: w = new QListWidget; break;
        case Kind::Picture: w = new QLabel; break;
        case Kind::RichText: {
            auto* t = new QTextEdit;
            t->setPlainText(caption);
            w = t;
            break;
        }
        case Kind::Line: {
            auto* l = new QFrame;
            l->setFrameShape(QFrame::HLine);
            l->setFrameShadow(QFrame::Sunken);
            w = l;
            break;
        }
        }
        const QString name = text(s.name);
        w->setObjectName(s.index >= 0 ? name + QLatin1Char('_') + QString::number(s.index) : name);
        if (s.index >= 0)
            w->setProperty("index", s.index);
        if (s.toolTip)
            w->setToolTip(text(s.toolTip));
        // Set on every control: a style sheet (the frames') stops fonts from
        // passing down from the window.
        QFont f = font();
        if (s.font)
            f.setFamilies(families(text(s.font)));
        w->setFont(f);
        w->setEnabled(s.enabled);
        controls_.push_back(w);
        specs_.push_back(&s);
    }

    // Parents second, as a container may come after what it holds. Tab pages
    // join their tab control in page order.
    std::map<QTabWidget*, std::map<int, int>> pages;  // tab control -> page number -> control
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlSpec& s = *specs_[i];
        QWidget* parent = containerOf(s);
        if (s.kind == Kind::TabPage) {
            if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
                pages[tabs][s.index] = int(i);
                continue;
            }
        }
        controls_[i]->setParent(parent ? parent : this);
    }
    for (auto& [tabs, byNumber] : pages)
        for (auto& [number, i] : byNumber) {
            (void)number;
            tabs->addTab(controls_[i], text(specs_[i]->caption));
        }
}

QWidget* FormWindow::containerOf(const ControlSpec& s) const {
    if (!s.container)
        return const_cast<FormWindow*>(this);
    const QString name = text(s.container);
    if (QWidget* w = control(name, s.containerIndex))
        return w;
    // A control placed straight on a tab control's page by number.
    if (auto* tabs = qobject_cast<QTabWidget*>(control(name))) {
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (specs_[i]->kind == Kind::TabPage && text(specs_[i]->container) == name
                && specs_[i]->index == s.containerIndex)
                return controls_[i];
        return tabs;
    }
    return const_cast<FormWindow*>(this);
}

void FormWindow::place() {
    resize(twipsToPixelsX(layout_.width), twipsToPixelsY(layout_.height));
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlSpec& s = *specs_[i];
        if (s.kind == Kind::TabPage)
            continue;  // the tab control sizes its pages
        int x = twipsToPixelsX(s.left);
        int y = twipsToPixelsY(s.top);
        // Positions on a tab page count from the tab control's top, tabs
        // included; the page itself starts below the tabs.
        QWidget* parent = controls_[i]->parentWidget();
        if (parent && parent != this) {
            if (auto* tabs = qobject_cast<QTabWidget*>(parent->parentWidget() ? parent->parentWidget()->parentWidget()
                                                                              : nullptr)) {
                if (tabs->indexOf(parent) >= 0) {
                    y = std::max(0, y - tabs->tabBar()->sizeHint().height());
                    x = std::max(0, x - 2);
                }
            }
        }
        controls_[i]->setGeometry(x, y, twipsToPixelsX(s.width), twipsToPixelsY(s.height));
        if (!s.visible)
            controls_[i]->setVisible(false);  // explicitly hidden: showing the window leaves it hidden
    }
}

QString FormWindow::nameInWords(const ControlSpec& s) {
    // The control's name without its kind prefix (txt, lbl, cmb, chk, ...),
    // split where the case changes: names are written as words run together.
    QString base = text(s.name);
    static const QRegularExpression prefix(QStringLiteral("^(txt|lbl|cmb|chk|dbg|grd|cmd|lst|dts)(?=[A-Z])"));
    base.remove(prefix);
    static const QRegularExpression hump(QStringLiteral("([a-z0-9])([A-Z])"));
    base.replace(hump, QStringLiteral("\\1 \\2"));
    return base;
}

void FormWindow::nameForAccessibility() {
    // Label text of each labelled control, to find labels shared by several.
    std::map<QString, int> uses;
    std::vector<QString> labelText(controls_.size());
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlSpec& s = *specs_[i];
        if (!s.label)
            continue;
        if (QWidget* l = control(text(s.label))) {
            const ControlSpec* ls = entry(l);
            labelText[i] = ls && ls->caption ? text(ls->caption) : QString();
            if (auto* ql = qobject_cast<QLabel*>(l))
                ql->setBuddy(controls_[i]);
            ++uses[labelText[i]];
        }
    }
    // The caption of the nearest frame or tab page around a control.
    auto containerCaption = [this](const QWidget* w) -> QString {
        for (QWidget* p = w->parentWidget(); p && p != this; p = p->parentWidget()) {
            const ControlSpec* ps = entry(p);
            if (ps && ps->caption && (ps->kind == Kind::Frame || ps->kind == Kind::TabPage))
                return text(ps->caption);
        }
        return windowTitle();
    };

    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlSpec& s = *specs_[i];
        QWidget* w = controls_[i];
        if (s.accessibleName) {
            w->setAccessibleName(text(s.accessibleName));
            w->setAccessibleDescription(text(s.accessibleDescription));
            continue;
        }
        switch (s.kind) {
        case Kind::PictureButton:
            w->setAccessibleName(text(s.toolTip));
            w->setAccessibleDescription(text(s.toolTip));
            break;
        case Kind::CheckBox:
        case Kind::Frame:
        case Kind::TabPage:
        case Kind::Button:
            // Without the mnemonic's marker: "&Cerrar" is read "Cerrar".
            w->setAccessibleName(withoutMnemonic(text(s.caption)));
            break;
        case Kind::Grid:
            // Its caption (set by the grid), else its legend, else its tab's caption.
            if (!s.caption)
                w->setAccessibleName(labelText[i].isEmpty() ? containerCaption(w) : labelText[i]);
            break;
        default:
            if (!takesInput(s.kind))
                break;
            if (!labelText[i].isEmpty()) {
                w->setAccessibleName(labelText[i]);
                if (uses[labelText[i]] > 1) {
                    // Told apart by the frame or page around them; by their
                    // names too when they share that as well.
                    const QString where = containerCaption(w);
                    int sameWhere = 0;
                    for (std::size_t j = 0; j < controls_.size(); ++j)
                        sameWhere += labelText[j] == labelText[i] && containerCaption(controls_[j]) == where;
                    w->setAccessibleDescription(sameWhere > 1 ? where + QStringLiteral(", ") + nameInWords(s) : where);
                }
            } else {
                w->setAccessibleName(nameInWords(s));
            }
            break;
        }
    }
}

void FormWindow::orderTabs() {
    std::vector<QWidget*> chain;
    std::vector<std::pair<int, std::size_t>> places;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (specs_[i]->tab >= 0 && (controls_[i]->focusPolicy() & Qt::TabFocus))
            places.emplace_back(specs_[i]->tab, i);
    std::stable_sort(places.begin(), places.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t k = 1; k < places.size(); ++k)
        setTabOrder(controls_[places[k - 1].second], controls_[places[k].second]);
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
    // Keys no control took: Enter for the default button, Escape for the
    // cancel one, as dialogs do.
    QPushButton* target = nullptr;
    if (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier) {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && defaultButton_) {
            auto* focused = qobject_cast<QPushButton*>(focusWidget());
            target = focused ? focused : defaultButton_;
        } else if (e->key() == Qt::Key_Escape) {
            target = cancelButton_;
        }
    }
    if (target && target->isVisible() && target->isEnabled()) {
        target->click();
        return;
    }
    QWidget::keyPressEvent(e);
}

void FormWindow::paintRowMarkers(QWidget* picture, QWidget* editingLabel, QWidget* lastLabel) {
    auto* label = qobject_cast<QLabel*>(picture);
    const ControlSpec* p = entry(picture);
    const ControlSpec* editing = entry(editingLabel);
    const ControlSpec* last = entry(lastLabel);
    if (!label || !p || !editing || !last)
        return;
    QPixmap pix(label->size());
    pix.fill(Qt::transparent);
    QPainter painter(&pix);
    painter.setPen(palette().color(QPalette::WindowText));
    auto line = [&](const ControlSpec* l) {
        return QRect(0, twipsToPixelsY(l->top - p->top), pix.width(), twipsToPixelsY(l->height));
    };
    painter.drawText(line(editing), Qt::AlignCenter, QStringLiteral("\u270E"));
    painter.drawText(line(last), Qt::AlignCenter, QStringLiteral("*"));
    painter.end();
    label->setPixmap(pix);
}

void FormWindow::missingControl(const char* name, int index, const QWidget* found, const char* kind) const {
    const QByteArray control = index >= 0 ? QByteArray(name) + '(' + QByteArray::number(index) + ')' : QByteArray(name);
    if (found)
        qFatal("%s: the control %s is a %s, not the %s the window's code takes it for", layout_.name,
               control.constData(), found->metaObject()->className(), kind);
    qFatal("%s: the layout has no control %s (the window's code takes it for a %s)", layout_.name, control.constData(),
           kind);
    std::abort();  // qFatal does not return; this says so to every compiler
}

QWidget* FormWindow::control(const QString& name, int index) const {
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (specs_[i]->index == index && text(specs_[i]->name) == name)
            return controls_[i];
    return nullptr;
}

const ControlSpec* FormWindow::entry(const QWidget* c) const {
    auto it = std::find(controls_.begin(), controls_.end(), c);
    return it == controls_.end() ? nullptr : specs_[std::size_t(it - controls_.begin())];
}

int FormWindow::tabPlace(const QWidget* c) const {
    const ControlSpec* s = entry(c);
    return s ? s->tab : -1;
}

int FormWindow::twipsToPixelsX(int twips) const { return twips * logicalDpiX() / 1440; }

int FormWindow::twipsToPixelsY(int twips) const { return twips * logicalDpiY() / 1440; }

}  // namespace ui
