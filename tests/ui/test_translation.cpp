// Qt's own texts in Spanish, from the translation compiled into the program,
// whatever language the environment names (CTest also runs these with LANG=C).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>

#include "ui/messagebox.h"
#include "ui/translation.h"

namespace {

QString withoutMnemonic(QString text) { return text.remove(QLatin1Char('&')); }

class Spanish : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(translator, nullptr); }
    void TearDown() override {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QTranslator* translator = ui::installSpanishTranslation();
};

// The buttons of every kind of box the program shows.
TEST_F(Spanish, MessageBoxesAnswerSiNoAceptarCancelar) {
    const struct {
        ui::Buttons buttons;
        QStringList texts;
    } cases[] = {
        {ui::Buttons::Ok, {"Aceptar"}},
        {ui::Buttons::OkCancel, {"Aceptar", "Cancelar"}},
        {ui::Buttons::YesNo, {"Sí", "No"}},
        {ui::Buttons::YesNoCancel, {"Sí", "No", "Cancelar"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts.join(' ').toStdString());
        QStringList shown;
        QObject scope;  // the check cannot outlive this iteration's locals
        QTimer::singleShot(0, &scope, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* b : box->buttons())
                shown << withoutMnemonic(b->text());
            box->reject();
        });
        ui::message(nullptr, QStringLiteral("Desea borrar la solicitud?"), QStringLiteral("ATENCION"), ui::Icon::None,
                    c.buttons);
        shown.sort();
        QStringList expected = c.texts;
        expected.sort();
        EXPECT_EQ(shown, expected);
    }
}

// The text boxes' context menu, the print dialog and the command line's help.
TEST_F(Spanish, ContextMenuPrintDialogAndCommandLine) {
    QTextEdit box;
    box.setPlainText(QStringLiteral("texto"));
    std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QStringList actions;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            actions << withoutMnemonic(a->text()).section(QLatin1Char('\t'), 0, 0);
    EXPECT_TRUE(actions.contains(QStringLiteral("Copiar"))) << actions.join(", ").toStdString();
    EXPECT_TRUE(actions.contains(QStringLiteral("Pegar"))) << actions.join(", ").toStdString();

    QPrinter printer;
    QPrintDialog dialog(&printer);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Imprimir"));

    QCommandLineParser parser;
    parser.addHelpOption();
    EXPECT_TRUE(parser.helpText().startsWith(QStringLiteral("Uso:"))) << parser.helpText().toStdString();
}

}  // namespace
