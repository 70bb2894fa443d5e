// Form1: deleting the whole application (BorraRegistros) and the annexes
// only (BorraAnexos).
#include <QCheckBox>
#include <QDateTime>
#include <QTabWidget>

#include "capture/form1.h"
#include "store/datadir.h"
#include "store/schema.h"
#include "store/statements.h"
#include "ui/codedcombo.h"
#include "ui/maskededit.h"
#include "ui/messagebox.h"

namespace capture {

namespace {

// Every row of the data source's current record set.
void deleteEveryRow(store::DataSource& s) {
    if (!s.eof())
        s.moveFirst();
    while (!s.eof()) {
        s.deleteCurrent();
        s.moveNext();
    }
}

bool confirmed(QWidget* parent, const char* question) {
    return ui::message(parent, QString::fromUtf8(question), QStringLiteral("ATENCION"), ui::Icon::None,
                       ui::Buttons::YesNo)
           == ui::Answer::Yes;
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
        openGoods();
    }
    void openGoods() {
        for (int i = 0; i < 3; ++i) {
            dtsanexo1[i].setRecordSource(store::statements::kAnexo1[i]);
            dtsanexo1[i].refresh();
        }
    }
    // Producers and goods: the steps both deletions share.
    void deleteProducersAndGoods() {
        dtsprovindir.setRecordSource(store::statements::kAllProducers);
        dtsprovindir.refresh();
        deleteEveryRow(dtsprovindir);
        // Goods that none of the three statements selects stay.
        for (store::DataSource& goods : dtsanexo1)
            deleteEveryRow(goods);
    }
    void reopenProducers() {
        dtsprovindir.setRecordSource("prodabas");
        dtsprovindir.refresh();
    }

    store::DataSource dtsprovindir;
    store::DataSource dtsanexo1[3];
};

}  // namespace

void Form1::BorraRegistros() {
    if (dtsDatoProv.eof())
        return;  // no application
    if (!confirmed(this, "Con esta Acción borrar toda su solicitud"))
        return;
    // What is deleted here can be brought back: the seven tables as they are
    // go first to a dated folder of the data directory. Without that copy
    // nothing is deleted.
    try {
        store::backupTables(
            dtsDatoProv.database().directory(),
            "respaldo-" + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString());
    } catch (const store::StoreError& e) {
        ui::message(this, QString::fromUtf8(e.what()) + QStringLiteral("\nNo se borró nada."));
        return;
    }

    if (!dtsDatoProv.eof())
        dtsDatoProv.deleteCurrent();
    deleteEveryRow(dtsplantas);
    impsectro.setRecordSource(store::statements::kAllSectors);
    impsectro.refresh();
    deleteEveryRow(impsectro);
    AnnexSources annexes(dtsDatoProv.database());
    annexes.deleteProducersAndGoods();

    dtsDatoProv.setRecordSource("datoprov");
    dtsDatoProv.refresh();
    impsectro.setRecordSource("Sector");
    impsectro.refresh();
    dtsplantas.setRecordSource("catdirpl");
    dtsplantas.refresh();
    annexes.reopenProducers();
    annexes.openGoods();

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
    if (!confirmed(this, "Con esta Acción borrar todos los anexos"))
        return;

    impsectro.setRecordSource(store::statements::kAllSectors);
    impsectro.refresh();
    deleteEveryRow(impsectro);
    AnnexSources annexes(dtsDatoProv.database());
    annexes.deleteProducersAndGoods();

    impsectro.setRecordSource("Sector");
    impsectro.refresh();
    annexes.reopenProducers();
    annexes.openGoods();
}

}  // namespace capture
