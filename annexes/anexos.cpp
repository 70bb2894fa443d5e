// Anexos: construction, the opening sequence, HabilitaAnexo1, the moments at
// which a grid gets or loses the focus, and closing.
#include "annexes/anexos.h"

#include "store/statements.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QTabWidget>

#include "annexes/checks.h"
#include "ui/datagrid.h"
#include "ui/layouts/anexos.h"
#include "ui/leadingnumber.h"
#include "ui/messagebox.h"

namespace annexes {

Anexos::Anexos(store::Database& db, const ui::MainWindow& main, QWidget* parent)
    : ui::FormWindow(ui::anexosLayout(), parent),
      Anexosf(require<QTabWidget>("Anexosf", 1)),
      grdMercyProd{require<ui::DataGrid>("grdMercyProd", 0), require<ui::DataGrid>("grdMercyProd", 1)},
      dbganexo1(require<ui::DataGrid>("dbganexo1")),
      dbganexo2(require<ui::DataGrid>("dbganexo2")),
      dbganexo3(require<ui::DataGrid>("dbganexo3")),
      dbgProdAbas(require<ui::DataGrid>("dbgProdAbas")),
      List1(require<QListWidget>("List1")),
      List2(require<QListWidget>("List2")),
      List3(require<QListWidget>("List3")),
      List4(require<QListWidget>("List4")),
      dtsSectores(db, "dBASE III;", "sector"),
      dtssectoresind(db, "dBASE III;", "sector"),
      dtsprovindir(db, "dBASE III;", "prodabas"),
      dtsanexo1{{db, "dBASE III;", "mercbi"}, {db, "dBASE III;", "mercbi"}, {db, "dBASE III;", "mercbi"}},
      main_(main) {
    setWindowFlag(Qt::Window);
    captionBars();
    setupGrids();
    setupPickLists();
    setupLegend();
    connect(qApp, &QApplication::focusChanged, this, &Anexos::focusChanged);
    load();
}

// The controls outlive this part of the window (the base class deletes them):
// nothing of theirs may call back here, nor reach the data sources, meanwhile.
Anexos::~Anexos() {
    disconnect(qApp, nullptr, this, nullptr);
    removeEventFilter(this);
    for (QListWidget* list : {List1, List2, List3, List4})
        list->removeEventFilter(this);
    for (QWidget* w : controls())
        if (auto* grid = qobject_cast<ui::DataGrid*>(w)) {
            grid->setRules(nullptr);
            grid->setDataSource(nullptr);
        }
}

void Anexos::reloadGrids() {
    const QScopedValueRollback<bool> guard(reloading_, true);
    for (QWidget* w : controls())
        if (auto* grid = qobject_cast<ui::DataGrid*>(w))
            grid->reload();
}

bool Anexos::extension() const { return main_.state().Combo1Index == 1; }

// The caption of a grid shows as a bar over its rows, inside the place the
// layout gives the grid.
void Anexos::captionBars() {
    for (QWidget* w : controls()) {
        auto* grid = qobject_cast<ui::DataGrid*>(w);
        if (!grid || grid->caption().isEmpty())
            continue;
        auto* bar = new QLabel(grid->caption(), grid->parentWidget());
        bar->setObjectName(grid->objectName() + QStringLiteral("Caption"));
        bar->setAlignment(Qt::AlignCenter);
        bar->setFrameShape(QFrame::Panel);
        bar->setFrameShadow(QFrame::Raised);
        bar->setBuddy(grid);
        const int h = bar->fontMetrics().height() + 6;
        const QRect r = grid->geometry();
        bar->setGeometry(r.x(), r.y(), r.width(), h);
        grid->setGeometry(r.x(), r.y() + h, r.width(), std::max(0, r.height() - h));
        bar->setVisible(!grid->isHidden());
    }
}

void Anexos::setGridHeight(ui::DataGrid& grid, int twips) {
    int height = twipsToPixelsY(twips);
    QRect r = grid.geometry();
    if (auto* bar = grid.parentWidget()->findChild<QLabel*>(grid.objectName() + QStringLiteral("Caption"),
                                                            Qt::FindDirectChildrenOnly))
        height -= bar->height();
    r.setHeight(std::max(0, height));
    grid.setGeometry(r);
}

void Anexos::load() {
    openingSequence();
    // The register of indirect producers opens on its designed table.
    try {
        dtsprovindir.refresh();
    } catch (const store::StoreError& e) {
        // The window opens all the same, with the engine's message.
        loadFailed_ = true;
        ui::message(this, QString::fromUtf8(e.what()));
    }
    reloadGrids();
}

void Anexos::openingSequence() {
    // 1
    const ui::MainWindowState main = main_.state();
    const long long tipo = ui::leadingNumber(main.TipoProg, ui::Sign::PlusOrMinus);
    QTabWidget* tabs = Anexosf;
    // 2-4: a switched-off tab shows greyed and cannot be chosen.
    tabs->setCurrentIndex(0);
    if (tipo == 1) {
        tabs->setTabEnabled(1, false);
        tabs->setTabEnabled(2, true);
    }
    if (tipo == 2) {
        tabs->setTabEnabled(0, false);
        tabs->setTabEnabled(2, false);
        tabs->setCurrentIndex(1);
    }
    // 5
    static const char* const kRoman[] = {"I",  "II",  "III",  "IV",  "V",  "VI",  "VII",  "VIII",  "IX",  "X",
                                         "XI", "XII", "XIII", "XIV", "XV", "XVI", "XVII", "XVIII", "XIX", "XX"};
    for (QListWidget* list : {List1, List2, List3, List4}) {
        list->clear();
        for (int i = 0; i < (list == List1 ? 20 : 6); ++i)
            list->addItem(QString::fromLatin1(kRoman[i]));
    }
    // 6
    const auto maquila = [](const QString& text) { return ui::leadingNumber(text, ui::Sign::PlusOrMinus); };
    if (maquila(main.txtnummaquila) > 0 && maquila(main.txtañomaquila) > 0) {
        setGridHeight(*dbganexo1, 4000);
        require<QLabel>("Label19", 2)->hide();
    }
    // 7-11: an error of the data engine ends the sequence with its message.
    const struct {
        store::DataSource* source;
        const char* query;
    } steps[] = {
        {&dtsSectores, store::statements::kDirectSectors}, {&dtsanexo1[0], store::statements::kAnexo1[0]},
        {&dtsanexo1[1], store::statements::kAnexo1[1]},    {&dtssectoresind, store::statements::kIndirectSectors},
        {&dtsanexo1[2], store::statements::kAnexo1[2]},
    };
    try {
        for (const auto& step : steps) {
            step.source->setRecordSource(step.query);
            step.source->refresh();
        }
    } catch (const store::StoreError& e) {
        // The sequence ends here with the engine's message; the window opens.
        loadFailed_ = true;
        ui::message(this, QString::fromUtf8(e.what()));
    }
}

void Anexos::HabilitaAnexo1() { dbganexo1->setEnabled(anexo1Enabled(grdMercyProd[1]->columnText(0))); }

// The grid a widget belongs to: the grid itself, its cell editor, or its pick
// list (dropping the list is not leaving the grid).
ui::DataGrid* Anexos::gridOf(QWidget* w) const {
    if (!w)
        return nullptr;
    if (auto* list = qobject_cast<QListWidget*>(w))
        if (ui::DataGrid* g = gridOfList(list))
            return g;
    for (QWidget* p = w; p && p != this; p = p->parentWidget())
        if (auto* g = qobject_cast<ui::DataGrid*>(p))
            return g;
    return nullptr;
}

// The focus moving from one control of this window to another. A message box
// or another window taking the focus and giving it back to the same grid is
// not the operator leaving or entering it.
void Anexos::focusChanged(QWidget*, QWidget* now) {
    if (!now || now->window() != this)
        return;
    // A move caused by handling another (a grid disabled while it has the
    // focus) is handled after it, so that messages come in order.
    focusMoves_.emplace_back(now);
    if (handlingFocus_)
        return;
    handlingFocus_ = true;
    while (!focusMoves_.empty()) {
        const QPointer<QWidget> next = focusMoves_.front();
        focusMoves_.pop_front();
        try {
            if (next)
                focusMoved(next);
        } catch (const store::StoreError& e) {
            // An error of the data engine ends this move's action with its
            // message; the focus stays where the operator put it.
            ui::message(this, QString::fromUtf8(e.what()));
        }
    }
    handlingFocus_ = false;
}

void Anexos::focusMoved(QWidget* now) {
    ui::DataGrid* from = gridOf(lastFocus_);
    ui::DataGrid* to = gridOf(now);
    lastFocus_ = now;
    if (from == to)
        return;
    const bool ext = extension();
    if (from && ext && (from == grdMercyProd[0] || from == grdMercyProd[1] || from == dbganexo1))
        HabilitaAnexo1();
    if (!to)
        return;
    if (to == grdMercyProd[0] || to == grdMercyProd[1]) {
        if (ext)
            HabilitaAnexo1();
        return;
    }
    const int g = goodsIndex(to);
    if (g < 0)
        return;
    if (g == 0) {
        if (!ext)
            return;
        HabilitaAnexo1();
    }
    ui::showMessages(this, noSectorMessage(g, ext, sectorKeyFor(g)));
}

QString Anexos::sectorKeyFor(int goodsGrid) const { return grdMercyProd[goodsGrid == 2 ? 0 : 1]->columnText(0); }

int Anexos::goodsIndex(const ui::DataGrid* grid) const {
    for (int g = 0; g < 3; ++g)
        if (grid == dbganexo(g))
            return g;
    return -1;
}

bool Anexos::writePendingRows() {
    QTabWidget* tabs = Anexosf;
    for (QWidget* w : controls()) {
        auto* grid = qobject_cast<ui::DataGrid*>(w);
        if (!grid || !grid->rowDirty())
            continue;
        // The row is written as if left on its own tab, which its codes name.
        for (int t = 0; t < tabs->count(); ++t)
            if (tabs->widget(t)->isAncestorOf(grid))
                tabs->setCurrentIndex(t);
        if (!grid->commitRow()) {
            grid->setFocus();
            return false;
        }
    }
    return true;
}

// Closing writes what the grids hold unwritten, as leaving the row would; a
// row its check refuses keeps the window open, so nothing typed is lost. The
// filter goes in last when the window shows, so it sees the close first.
}  // namespace annexes
