// The document window frmDocument: shows the application questionnaire as
// built when the window opened, and prints it, rebuilt from the main window
// as it then stands, followed by the general considerations.
#pragma once

#include <QPointer>
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
    frmDocument(ui::FormWindow& main, Sources sources, QString considerationsPath, QWidget* parent = nullptr);

    // 1 while the window loads (the build then only displays), 0 otherwise.
    std::int16_t PrimeraVez = 0;

    // The print operation: builds the questionnaire into rtfText with its
    // title centred; while loading shows it in RTUltima, otherwise prints it
    // and then considera.txt to the printer chosen in the print dialog.
    // Ends silently on an error of the data engine, a cancelled dialog, a
    // printer that refuses or an unreadable considera.txt.
    void printQuestionnaire();
    void Command1_Click();  // "&Imprimir"
    void Command2_Click();  // "&Cerrar"
    // Places RTUltima and the buttons for the window's current size.
    void Form_Resize();

    QTextEdit* rtfText() const;
    QTextEdit* RTUltima() const;
    QTextEdit* CONSIDERA() const;
    QPushButton* Command1() const;
    QPushButton* Command2() const;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Form_Load();
    void centreTitle(int titleLength);

    QPointer<ui::FormWindow> main_;
    Sources sources_;
    QString considerationsPath_;
};

} // namespace questionnaire
