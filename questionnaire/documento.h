// The document window frmDocument: shows the application questionnaire as
// built when the window opened, and prints it, rebuilt from the main window
// as it then stands, followed by the general considerations.
#pragma once

#include <QString>
#include <cstdint>

#include "questionnaire/cuestionario.h"
#include "ui/formwindow.h"

class QPushButton;
class QTextEdit;

namespace questionnaire {

class frmDocument : public ui::FormWindow {
    Q_OBJECT
public:
    // A top-level window over the main window and its data sources; runs the
    // load: the resize rule, then one build that only displays.
    // `considerationsPath` is the data directory's considera.txt.
    frmDocument(const ui::MainWindow& main, Sources sources, QString considerationsPath, QWidget* parent = nullptr);

    // The controls, found once when the window is built.
    QTextEdit* const rtfText;
    QTextEdit* const RTUltima;
    QTextEdit* const CONSIDERA;
    QPushButton* const Command1;
    QPushButton* const Command2;

    // 1 while the window loads (the build then only displays), 0 otherwise.
    std::int16_t PrimeraVez = 0;

    // The print operation: builds the questionnaire into rtfText with its
    // title centred; while loading shows it in RTUltima, otherwise prints it
    // and then considera.txt to the printer chosen in the print dialog.
    // Ends silently on an error of the data engine, a cancelled dialog, a
    // printer that refuses or an unreadable considera.txt; says how far it got.
    enum class Printed { Nothing, Shown, Questionnaire, Everything };
    Printed printQuestionnaire();
    void Command1_Click();  // "&Imprimir"
    void Command2_Click();  // "&Cerrar"
    // Places RTUltima and the buttons for the window's current size.
    void Form_Resize();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Form_Load();
    void centreTitle(int titleLength);

    const ui::MainWindow& main_;
    Sources sources_;
    QString considerationsPath_;
};

}  // namespace questionnaire
