// zeltar-screenshots DIR [DATOS]: the pictures of the operators' guide
// (docs/guia.md); the example application is made in DATOS and kept there
// when given (for trying the program on a filled application).
// Runs the program's own windows on an example application, on a real
// display (scripts/screenshots starts it under Xvfb), presses their buttons
// as an operator would and saves each window and message box as an 8-bit
// PNG in DIR.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QIcon>
#include <QImageWriter>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <iostream>

#include "annexes/anexos.h"
#include "app/programfiles.h"
#include "app/windows.h"
#include "capture/form1.h"
#include "help/ayuda.h"
#include "questionnaire/documento.h"
#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "ui/datagrid.h"
#include "ui/messagebox.h"
#include "ui/translation.h"

namespace {

namespace fs = std::filesystem;
using store::Value;

QString outDir;
int saved = 0;

// Lets layouts, deferred focus and paints happen.
void settle(int ms = 150) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The window as the screen shows it, with the frame and title bar of the
// window manager when one runs (scripts/screenshots starts one).
void save(QWidget* w, const char* name) {
    w->raise();
    w->activateWindow();
    // A window manager frames a new window a moment after it is shown.
    for (int waited = 0; waited < 1000 && w->frameGeometry() == w->geometry(); waited += 50)
        settle(50);
    settle();
    const QRect frame = w->frameGeometry();
    QPixmap shot = w->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.isNull())
        shot = w->grab();
    // 8 bits a pixel: window pictures have few colours, and the guide stays small.
    const QImage picture = shot.toImage().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QString file = QDir(outDir).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    QImageWriter writer(file);
    if (!writer.write(picture)) {
        std::cerr << "no se pudo guardar " << file.toStdString() << ": " << writer.errorString().toStdString() << "\n";
        std::exit(1);
    }
    ++saved;
}

// Runs `action` on the next modal window that is not `below`, once it is up.
void onModal(std::function<void(QWidget*)> action, QWidget* below = nullptr) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, action, below] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w == below || !w->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(w);
    });
    timer->start();
}

// Saves the message box, then answers it with `answer`.
std::function<void(QWidget*)> boxShot(const char* name, ui::Answer answer, std::function<void()> then = {}) {
    return [name, answer, then](QWidget* w) {
        if (!ui::isShownBox(w)) {
            std::cerr << name << ": se esperaba un cuadro de mensaje\n";
            std::exit(1);
        }
        save(w, name);
        if (then)
            then();
        ui::answerShownBox(w, answer);
    };
}

void append(const fs::path& dir, const char* table, const std::vector<store::Row>& rows) {
    auto t = store::DbfTable::open(dir / (std::string(table) + ".dbf"));
    for (const auto& r : rows)
        t->append(r);
}

// An example application, one the program's entry checks accept: a new
// programme of a direct producer with two plants, its sectors and goods, and
// one indirect producer on its register.
void fillExample(const fs::path& dir) {
    auto datoprov = store::DbfTable::open(dir / "datoprov.dbf");
    store::Row row(datoprov->fields().size());
    const std::map<std::string, Value> values = {{"RFC", Value(" MNO920315A17")},
                                                 {"PROG1P", Value("")},
                                                 {"PROG2P", Value("")},
                                                 {"ACREDITA", Value("")},
                                                 {"APEPATRAZ", Value("MANUFACTURAS DEL NORTE SA DE CV")},
                                                 {"EMAIL", Value("contacto@manunorte.com.mx")},
                                                 {"CALLEYNO", Value("AV. INDUSTRIAL 1450")},
                                                 {"COLONIA", Value("PARQUE INDUSTRIAL")},
                                                 {"CP", Value("64590")},
                                                 {"ESTADO", Value("NUEVO LEÓN")},
                                                 {"CIUDAD", Value("MONTERREY")},
                                                 {"DELMUN", Value("MONTERREY")},
                                                 {"TELEFONO", Value("8183557700")},
                                                 {"TIPOTRAM", Value(1)},
                                                 {"FAX", Value("8183557701")},
                                                 {"APEPREPLEG", Value("GARZA")},
                                                 {"APEMREPLEG", Value("TREVIÑO")},
                                                 {"NOMBREREPL", Value("ANA LUCÍA")},
                                                 {"CAMPO20", Value("14")},
                                                 {"TIPOPROG", Value(3)},
                                                 {"CVEACTIVID", Value(311020)},
                                                 {"CARGO", Value("DIRECTORA GENERAL")},
                                                 {"TEL_REPREG", Value("8183557710")},
                                                 {"EMAILREPL", Value("agarza@manunorte.com.mx")},
                                                 {"CVEADMLOC", Value(1)},
                                                 {"NUMMAQUILA", Value(0)},
                                                 {"ANOMAQUILA", Value(0)}};
    for (const auto& [name, v] : values)
        row.at(std::size_t(datoprov->fieldIndex(name))) = v;
    datoprov->append(row);
    append(dir, "catdirpl",
           {{Value("AV. INDUSTRIAL 1450"), Value("64590"), Value("PARQUE INDUSTRIAL"), Value("NUEVO LEÓN"),
             Value("MONTERREY"), Value("MONTERREY"), Value("8183557700"), Value("8183557701")},
            {Value("CARRETERA A SALTILLO KM 12"), Value("66350"), Value("SANTA CATARINA CENTRO"), Value("NUEVO LEÓN"),
             Value("SANTA CATARINA"), Value("SANTA CATARINA"), Value("8183360420"), Value()}});
    append(dir, "sector",
           {{Value(1), Value("XI"), Value("INDUSTRIA DEL CALZADO")},
            {Value(1), Value("XIXa"), Value("INDUSTRIA DE MANUFACTURAS DEL CAUCHO")},
            {Value(2), Value("XI"), Value("INDUSTRIA DEL CALZADO")}});
    auto good = [](const char* sector, int prog, const char* fraccion, int anexo, const char* text, int kind) {
        return store::Row{Value(sector), Value(prog), Value(fraccion), Value(anexo), Value(text), Value(),    Value(),
                          Value(),       Value(),     Value(),         Value(),      Value(),     Value(kind)};
    };
    append(dir, "mercbi",
           {good("XI", 1, "64039999", 1, "CALZADO CON SUELA DE CAUCHO Y CORTE DE CUERO", 1),
            good("XI", 1, "64069099", 1, "PARTES DE CALZADO", 1),
            good("XI", 1, "41071201", 1, "CUEROS PREPARADOS DE BOVINO", 2),
            good("XI", 1, "39269099", 1, "HORMAS Y ACCESORIOS DE PLÁSTICO", 2),
            good("XI", 2, "64069001", 2, "PLANTILLAS PARA CALZADO", 2)});
    append(dir, "prodabas",
           {{Value("2023-077"), Value("SUELAS Y PLANTILLAS DE MONTERREY SA DE CV"), Value(" SPM010822QB5"),
             Value(store::Date{2024, 3, 14})}});
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::cerr << "uso: zeltar-screenshots CARPETA [DATOS]\n";
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    QApplication::setApplicationName(QStringLiteral("zeltar"));
    ui::installSpanishTranslation();

    QTemporaryDir tmp;
    const fs::path data = argc == 3 ? fs::path(argv[2]) : fs::path(tmp.path().toStdU16String()) / "ZELTAR";
    const fs::path disk = fs::path(tmp.path().toStdU16String()) / "ZELTAR-A";
    if (fs::exists(data)) {
        std::cerr << data.string() << " ya existe\n";
        return 2;
    }
    store::ensureDataDirectory(data);
    fs::create_directories(disk);
    fillExample(data);
    auto lock = store::DirectoryLock::acquire(data);

    store::Database db(data);
    capture::Form1 form(db);
    if (form.loadFailed())
        return 1;
    form.diskette = disk;
    form.pack9 = app::programFiles().pack9;
    form.pack9Environment = lock->handOffEnvironment();
    app::wireWindows(form, db);
    form.show();
    settle(500);
    // A button of the row, pressed only when the operator could press it.
    auto button = [&](int i) {
        QAbstractButton* b = form.Command1[i];
        if (!b->isEnabled()) {
            std::cerr << "el botón " << i << " está desactivado\n";
            std::exit(1);
        }
        return b;
    };

    // The main window, tab by tab, browsing the saved application.
    QTabWidget* tabs = form.SSTab1;
    const char* tabShots[] = {"principal-datos-generales", "principal-plantas", "principal-programa-representante",
                              "principal-sectores"};
    for (int i = 0; i < 4; ++i) {
        tabs->setCurrentIndex(i);
        save(&form, tabShots[i]);
    }
    // "Editar Datos": the fields open for changes.
    tabs->setCurrentIndex(0);
    button(capture::Form1::kEdit)->click();
    save(&form, "principal-editando");

    // The annexes, from the tab "SECTORES".
    tabs->setCurrentIndex(3);
    onModal([](QWidget* w) {
        QTabWidget* pages = qobject_cast<annexes::Anexos*>(w)->Anexosf;
        const char* names[] = {"anexo-1", "anexo-2", "anexo-3"};
        for (int i = 0; i < 3; ++i) {
            pages->setCurrentIndex(i);
            save(w, names[i]);
        }
        w->close();
    });
    form.Command2->click();

    // The questionnaire and the print dialog.
    button(capture::Form1::kPrint)->click();
    settle(300);
    auto* doc = form.findChild<questionnaire::frmDocument*>();
    if (!doc) {
        std::cerr << "no se abrió la ventana de impresión\n";
        return 1;
    }
    save(doc, "impresion");
    onModal([](QWidget* w) {
        // The choice an operator makes for a PDF file.
        for (auto* printers : w->findChildren<QComboBox*>()) {
            const int pdf = printers->findText(QStringLiteral("(PDF)"), Qt::MatchEndsWith);
            if (pdf >= 0)
                printers->setCurrentIndex(pdf);
        }
        save(w, "dialogo-imprimir");
        qobject_cast<QDialog*>(w)->reject();
    });
    doc->Command1->click();
    doc->close();

    // The general considerations and the About box.
    button(capture::Form1::kHelp)->click();
    settle(300);
    if (auto* help = form.findChild<help::frmayuda*>()) {
        save(help, "consideraciones");
        help->close();
    }
    onModal([](QWidget* w) {
        save(w, "acerca-de");
        w->close();
    });
    button(capture::Form1::kAbout)->click();

    // A deletion asks first ("No" here keeps the application).
    onModal(boxShot("borrar-atencion", ui::Answer::No));
    button(capture::Form1::kDeleteAll)->click();
    settle();

    // The disk: the prompt, then the closing notice.
    onModal(boxShot("disco-asegurese", ui::Answer::Ok, [] { onModal(boxShot("disco-grabado", ui::Answer::Ok)); }));
    button(capture::Form1::kMakeDisk)->click();
    settle(300);

    // Goods pasted from a spreadsheet, one of them refused: the summary.
    button(capture::Form1::kEdit)->click();
    tabs->setCurrentIndex(3);
    onModal([](QWidget* w) {
        auto* anexos = qobject_cast<annexes::Anexos*>(w);
        ui::DataGrid* grid = anexos->dbganexo2;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(grid->model()->rowCount() - 1, 3));
        QGuiApplication::clipboard()->setText(
            QString::fromUtf8("3926.90.99\thormas de plástico\r\n410712\tCUEROS PREPARADOS\r\n"
                              "73181599\tTORNILLOS DE ACERO\r\n"));
        onModal(boxShot("pegar-resumen", ui::Answer::Ok), w);
        grid->pasteFromClipboard();
        w->close();
    });
    form.Command2->click();

    std::cout << saved << " imágenes en " << outDir.toStdString() << "\n";
    return 0;
}
