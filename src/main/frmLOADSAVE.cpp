#include "main/frmLOADSAVE.h"
#include "widgets/ScreenPlace.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmLOADSAVE::frmLOADSAVE(const QString& dataDirectory, Prompter& prompter, ListDialogActions::ListCall loadList,
    ListDialogActions::ListCall saveList, QWidget* parent)
    : QDialog(parent)
    , m_actions(dataDirectory, prompter)
    , m_loadList(std::move(loadList))
    , m_saveList(std::move(saveList))
{
    setObjectName(QStringLiteral("frmLOADSAVE"));
    setWindowTitle(QStringLiteral("Load / Save Directory list"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Enter a list name or select one from the list of previous..."));
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);
    txtFILENAME = new QLineEdit;
    txtFILENAME->setObjectName(QStringLiteral("txtFILENAME"));
    layout->addWidget(txtFILENAME);
    listFILES = new QListWidget;
    listFILES->setObjectName(QStringLiteral("listFILES"));
    layout->addWidget(listFILES, 1);
    auto* buttons = new QHBoxLayout;
    cmdACTION = new QPushButton(QStringLiteral("Load"));
    cmdACTION->setObjectName(QStringLiteral("cmdACTION"));
    Command1 = new QPushButton(QStringLiteral("Delete"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    buttons->addWidget(cmdACTION);
    buttons->addWidget(Command1);
    layout->addLayout(buttons);

    connect(cmdACTION, &QPushButton::clicked, this, &frmLOADSAVE::cmdACTION_Click);
    connect(Command1, &QPushButton::clicked, this, &frmLOADSAVE::Command1_Click);
    connect(listFILES, &QListWidget::itemClicked, this, &frmLOADSAVE::listFILES_Click);
    connect(listFILES, &QListWidget::itemDoubleClicked, this, &frmLOADSAVE::listFILES_DblClick);

    // Centred over the main window.
    adjustSize();
    if (const QWidget* main = parent ? parent->window() : nullptr)
        centreOver(this, main);
    refreshFiles();
}

void frmLOADSAVE::refreshFiles()
{
    listFILES->clear();
    listFILES->addItems(m_actions.savedLists());
}

void frmLOADSAVE::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    refreshFiles();
}

void frmLOADSAVE::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refreshFiles();
}

void frmLOADSAVE::cmdACTION_Click()
{
    const ListDialogActions::Outcome outcome
        = m_actions.act(cmdACTION->text(), txtFILENAME->text(), m_loadList, m_saveList);
    txtFILENAME->setText(outcome.boxText);
    if (outcome.close)
        accept();
}

void frmLOADSAVE::Command1_Click()
{
    const ListDialogActions::Outcome outcome = m_actions.remove(txtFILENAME->text());
    txtFILENAME->setText(outcome.boxText);
    refreshFiles();
}

void frmLOADSAVE::listFILES_Click(QListWidgetItem* item)
{
    if (item)
        txtFILENAME->setText(item->text());
}

void frmLOADSAVE::listFILES_DblClick(QListWidgetItem* item)
{
    listFILES_Click(item);
    cmdACTION_Click();
}
