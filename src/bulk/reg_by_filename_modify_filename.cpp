#include "bulk/reg_by_filename_modify_filename.h"

#include "bulk/song_file_name.h"
#include "widgets/manager_layout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

RegByFilenameModifyFilename::RegByFilenameModifyFilename(const QString &fileName, QSize screen, QWidget *parent)
    : QDialog(parent)
    , m_fileName(fileName)
{
    setObjectName(QStringLiteral("reg_by_filename_ModifyFilename"));
    setWindowTitle(QStringLiteral("Modify the Filename"));
    resize(800, 170);
    setManagerFont(*this);

    labMsgOrgFilename = new QLabel(QStringLiteral("Org. Filename : ") + fileName, this);
    labMsgOrgFilename->setObjectName(QStringLiteral("labMsgOrgFilename"));
    labMsgOrgFilename->setGeometry(20, 14, 760, 28);
    labMsgOrgFilename->setTextInteractionFlags(Qt::TextSelectableByMouse);

    txtFileName = new QLineEdit(fileName, this);
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    txtFileName->setGeometry(20, 50, 760, 32);

    labGrammar = new QLabel(QStringLiteral("檔名格式: ") + kFileNameGrammar, this);
    labGrammar->setObjectName(QStringLiteral("labGrammar"));
    labGrammar->setGeometry(20, 90, 560, 28);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(630, 118, 150, 38);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &RegByFilenameModifyFilename::cmdOK_Click);

    fitManagerWindow(*this, screen, 0.8);
}

void RegByFilenameModifyFilename::cmdOK_Click()
{
    m_fileName = txtFileName->text();
    accept();
}
