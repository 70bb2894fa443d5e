// Form1: the picture buttons and their dispatcher.
#include <QAbstractButton>
#include <QStyle>

#include "capture/form1.h"
#include "ui/busy.h"

namespace capture {

void Form1::setupButtons() {
    // Any clear picture will do; the tool tips name the actions.
    const std::pair<int, QStyle::StandardPixmap> pictures[] = {
        {0, QStyle::SP_TrashIcon},           {1, QStyle::SP_DialogSaveButton},
        {2, QStyle::SP_DriveFDIcon},         {3, QStyle::SP_DialogDiscardButton},
        {4, QStyle::SP_MessageBoxInformation}, {5, QStyle::SP_DialogCancelButton},
        {6, QStyle::SP_FileDialogDetailedView}, {7, QStyle::SP_FileIcon},
        {9, QStyle::SP_DialogHelpButton},
    };
    for (const auto& [index, picture] : pictures) {
        auto* button = as<QAbstractButton>(QStringLiteral("Command1"), index);
        if (!button) continue;
        button->setIcon(style()->standardIcon(picture));
        connect(button, &QAbstractButton::clicked, this, [this, index] { Command1_Click(index); });
    }
    if (auto* anexos = as<QAbstractButton>(QStringLiteral("Command2")))
        connect(anexos, &QAbstractButton::clicked, this, [this] { Command2_Click(); });
}

void Form1::Command1_Click(int index) {
    ui::BusyPointer busy;
    (void)index;  // the actions come with the command buttons
}

void Form1::Command2_Click() {}

} // namespace capture
