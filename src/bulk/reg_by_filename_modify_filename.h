#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The renaming dialog of registration by file name (reg_by_filename_ModifyFilename): shows the
// file's name and lets the owner edit it.
class RegByFilenameModifyFilename : public QDialog
{
    Q_OBJECT

public:
    RegByFilenameModifyFilename(const QString &fileName, QSize screen, QWidget *parent = nullptr);

    QLabel *labMsgOrgFilename = nullptr;
    QLabel *labGrammar = nullptr;
    QLineEdit *txtFileName = nullptr;
    QPushButton *cmdOK = nullptr;

    // The edited name once OK was pressed; the original name otherwise.
    QString fileName() const { return m_fileName; }
    void cmdOK_Click();

private:
    QString m_fileName;
};
