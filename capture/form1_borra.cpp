// Form1: deleting the whole application (BorraRegistros) and the annexes
// only (BorraAnexos).
#include <QCheckBox>
#include <QTabWidget>

#include "capture/form1.h"
#include "store/schema.h"
#include "store/statements.h"
#include "ui/codedcombo.h"
#include "ui/maskededit.h"
#include "ui/messagebox.h"

namespace capture {

namespace {

// Every row of the data source's current record set.
void borraTodos(store::DataSource& s) {
    if (!s.eof()) s.moveFirst();
    while (!s.eof()) {
        s.deleteCurrent();
        s.moveNext();
    }
}

bool confirma(QWidget* parent, const char* question) {
    return ui::message(parent, QString::fromUtf8(question), QStringLiteral("ATENCION"), ui::Icon::None,
                       ui::Buttons::YesNo) == ui::Answer::Yes;
}

// The annexes window's producers and goods. That window is modal and made
// afresh each time, so it is never loaded while these commands can run: the
// deletions open the same data sources on the same statements themselves.
struct AnnexSources {
    explicit AnnexSources(store::Database& db)
        : dtsprovindir(db, "dBASE III;", "prodabas"),
          dtsanexo1{{db, "dBASE III;", "mercbi"}, {db, "dBASE III;", "mercbi"}, {db, "dBASE III;", "mercbi"}} {
        // As the window's opening sequence leaves them.
        dtsprovindir.refresh();
        abreBienes();
    }
    void abreBienes() {
        for (int i = 0; i < 3; ++i) {
            dtsanexo1[i].setRecordSource(store::statements::kAnexo1[i]);
            dtsanexo1[i].refresh();
        }
    }
    // Producers and goods: the steps both deletions share.
    void borra() {
        dtsprovindir.setRecordSource(store::statements::kTodosProductores);
        dtsprovindir.refresh();
        borraTodos(dtsprovindir);
        // Goods that none of the three statements selects stay.
        for (store::DataSource& goods : dtsanexo1) borraTodos(goods);
    }
    void reabreProductores() {
        dtsprovindir.setRecordSource("prodabas");
        dtsprovindir.refresh();
    }

    store::DataSource dtsprovindir;
    store::DataSource dtsanexo1[3];
};

} // namespace

void Form1::BorraRegistros() {
    if (dtsDatoProv.eof()) return;  // no application
    if (!confirma(this, "Con esta Acción borrar toda su solicitud")) return;

    if (!dtsDatoProv.eof()) dtsDatoProv.deleteCurrent();
    borraTodos(dtsplantas);
    impsectro.setRecordSource(store::statements::kTodosSectores);
    impsectro.refresh();
    borraTodos(impsectro);
    AnnexSources anexos(dtsDatoProv.database());
    anexos.borra();

    dtsDatoProv.setRecordSource("datoprov");
    dtsDatoProv.refresh();
    impsectro.setRecordSource("Sector");
    impsectro.refresh();
    dtsplantas.setRecordSource("catdirpl");
    dtsplantas.refresh();
    anexos.reabreProductores();
    anexos.abreBienes();

    // The new, empty application.
    Nuevo();
    for (ui::MaskedEdit* maquila : {txtnummaquila, txtañomaquila})
        maquila->setMaskedText(QString());
    ui::MaskedEdit* rfc = MaskEdBox1;
    const QString mask = rfc->mask();
    rfc->setMask(QString());
    rfc->setMaskedText(QString());
    rfc->setMask(mask);
    chkProdFinal->setChecked(false);
    chkrodIndirecto->setChecked(false);
    Combo5->setCurrentIndex(0);
    Combo1->setCurrentIndex(0);
    cmbActividad->setCurrentIndex(0);
    Command1[kEdit]->setEnabled(true);
    SSTab1->setCurrentIndex(0);
    // Once more, without the defaults Nuevo put into its row: datoprov holds
    // no row until the next save writes the new application. Position 20 is
    // 14 in every application sent; the fresh row would otherwise go out empty.
    dtsDatoProv.addNew();
    setRecordField(store::datoprov::kCampo20, store::Value("14"));
}

void Form1::BorraAnexos() {
    if (!confirma(this, "Con esta Acción borrar todos los anexos")) return;

    impsectro.setRecordSource(store::statements::kTodosSectores);
    impsectro.refresh();
    borraTodos(impsectro);
    AnnexSources anexos(dtsDatoProv.database());
    anexos.borra();

    impsectro.setRecordSource("Sector");
    impsectro.refresh();
    anexos.reabreProductores();
    anexos.abreBienes();
}

} // namespace capture
