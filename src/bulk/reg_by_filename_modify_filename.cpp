#include "bulk/reg_by_filename_modify_filename.h"

#include "bulk/song_file_name.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

RegByFilenameModifyFilename::RegByFilenameModifyFilename(SharedState &state, Services &services, QSize screen,
                                                         const QString &fileName, QWidget *parent)
    : ManagerDialog(state, services, screen, QStringLiteral("reg_by_filename_ModifyFilename"),
                    QStringLiteral("Modify the Filename"), QSize(800, 170), parent)
    , m_fileName(fileName)
{
    labMsgOrgFilename = addLabel(this, QStringLiteral("labMsgOrgFilename"), QStringLiteral("Org. Filename : ") + fileName,
                                 {20, 14, 760, 28});
    labMsgOrgFilename->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtFileName = addTextBox(this, QStringLiteral("txtFileName"), {20, 50, 760, 32});
    txtFileName->setText(fileName);
    addLabel(this, QStringLiteral("labGrammar"), QStringLiteral("檔名格式: ") + kFileNameGrammar, {20, 90, 600, 28});
    cmdOK = addButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), {630, 118, 150, 38}, [this] { cmdOK_Click(); });
    connect(txtFileName, &QLineEdit::returnPressed, this, &RegByFilenameModifyFilename::cmdOK_Click);
    fitToScreen(0.8);
    centreOnScreen();
}

void RegByFilenameModifyFilename::cmdOK_Click()
{
    m_fileName = txtFileName->text();
    accept();
}
