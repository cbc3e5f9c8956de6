// The main window's controls: kinds, captions, tooltips, start values and the wiring of handlers.
#include "main/EyeFrames.h"
#include "main/MaxTypedLength.h"
#include "main/frmMAIN.h"
#include "session/SettingsTable.h"
#include "widgets/ScreenPlace.h"
#include "widgets/Twips.h"
#include "widgets/WindowFrame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <type_traits>

namespace {

template <typename T> T* named(T* widget, const char* name, const QString& tooltip = {})
{
    widget->setObjectName(QLatin1String(name));
    if constexpr (std::is_base_of_v<QWidget, T>) {
        if (!tooltip.isEmpty())
            widget->setToolTip(tooltip);
    }
    return widget;
}

QCheckBox* checkBox(const char* name, const QString& caption, const QString& tooltip = {})
{
    return named(new QCheckBox(caption), name, tooltip);
}

QPushButton* button(const char* name, const QString& caption, const QString& tooltip = {})
{
    return named(new QPushButton(caption), name, tooltip);
}

QLineEdit* textBox(const char* name, int maxTyped, const QString& tooltip)
{
    auto* edit = named(new QLineEdit, name, tooltip);
    edit->setValidator(new MaxTypedLength(maxTyped, edit));
    return edit;
}

// A text box with its label after it: "= Tolerance".
QWidget* withLabel(QWidget* field, const QString& label, int width)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    field->setFixedWidth(width);
    layout->addWidget(field);
    layout->addWidget(new QLabel(label));
    layout->addStretch();
    return row;
}

} // namespace

void frmMAIN::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QHBoxLayout(central);
    // Room for the eyes above the controls.
    outer->setContentsMargins(10, 60, 10, 10);

    // The list and its buttons.
    auto* listColumn = new QVBoxLayout;
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Dir Listname -")));
    lblLISTNAME = named(new QLabel, "lblLISTNAME");
    lblLISTNAME->setTextFormat(Qt::PlainText);
    nameRow->addWidget(lblLISTNAME, 1);
    listColumn->addLayout(nameRow);
    lstDIRECTORIES = named(new QListWidget, "lstDIRECTORIES",
        QStringLiteral("This is the list of directories that will be searched for images..."));
    lstDIRECTORIES->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listColumn->addWidget(lstDIRECTORIES, 1);
    listColumn->addWidget(new QLabel(QStringLiteral("Incoming Files Check Directory")));
    txtIFCD = named(new QLineEdit, "txtIFCD",
        QStringLiteral("This designates directory(s) where new images may be place to compare to your existing "
                       "set.  Please see the help file for more info..."));
    listColumn->addWidget(txtIFCD);
    auto* treeRow = new QHBoxLayout;
    chkTREEMODEIFCD
        = checkBox("chkTREEMODEIFCD", QString(), QStringLiteral("Click on the buttons to the left to change this"));
    chkTREEMODEIFCD->setEnabled(false);
    treeRow->addWidget(chkTREEMODEIFCD);
    auto* treeLabel = new QLabel(QStringLiteral("TreeMode IFCD"));
    treeLabel->setToolTip(QStringLiteral("Use the Add button to change this option..."));
    treeRow->addWidget(treeLabel);
    treeRow->addStretch();
    listColumn->addLayout(treeRow);
    auto* listButtons = new QGridLayout;
    cmdADD = button(
        "cmdADD", QStringLiteral("&Add"), QStringLiteral("Add directories to the list or assign an IFCD / IFCD Tree"));
    cmdDELETE = button("cmdDELETE", QStringLiteral("&Delete"),
        QStringLiteral("Delete selected directories in the main list, or the IFCD if no list directories selected"));
    cmdCLEAR
        = button("cmdCLEAR", QStringLiteral("C&lear"), QStringLiteral("Clear the list of directories and the IFCD"));
    cmdLOAD = button("cmdLOAD", QStringLiteral("L&oad"), QStringLiteral("Load a directory list"));
    cmdSAVE = button("cmdSAVE", QStringLiteral("&Save"), QStringLiteral("Save a directory list"));
    listButtons->addWidget(cmdADD, 0, 0);
    listButtons->addWidget(cmdDELETE, 0, 1);
    listButtons->addWidget(cmdCLEAR, 0, 2);
    listButtons->addWidget(cmdLOAD, 1, 0);
    listButtons->addWidget(cmdSAVE, 1, 1);
    listColumn->addLayout(listButtons);
    chkSAVELIST = checkBox("chkSAVELIST", QStringLiteral("AutoSave list"),
        QStringLiteral("When selected, changes to the list of directories will automatically be saved"));
    chkSINGLETABLE = checkBox("chkSINGLETABLE", QStringLiteral("Single Database"),
        QStringLiteral("Use one common database instead of one per list"));
    listColumn->addWidget(chkSAVELIST);
    listColumn->addWidget(chkSINGLETABLE);
    outer->addLayout(listColumn, 3);

    // Modes and switches.
    auto* optionColumn = new QVBoxLayout;
    auto* modeBox = new QGroupBox(QStringLiteral("Mode"));
    auto* modeLayout = new QGridLayout(modeBox);
    optNAME = named(new QRadioButton(QStringLiteral("Name")), "optNAME");
    optSIZE = named(new QRadioButton(QStringLiteral("Size")), "optSIZE");
    optNAMESIZE = named(new QRadioButton(QStringLiteral("Name && Size")), "optNAMESIZE");
    optNUMBERED = named(new QRadioButton(QStringLiteral("Numbered")), "optNUMBERED");
    optCHECKSUM = named(new QRadioButton(QStringLiteral("Checksum")), "optCHECKSUM");
    optAVERAGERGB = named(new QRadioButton(QStringLiteral("Avg. RGB")), "optAVERAGERGB");
    optQUADRGB = named(new QRadioButton(QStringLiteral("Quadrant RGB")), "optQUADRGB");
    optPATTERN = named(new QRadioButton(QStringLiteral("Pattern")), "optPATTERN");
    const std::array<QRadioButton*, 8> shown { optNAME, optSIZE, optNAMESIZE, optNUMBERED, optCHECKSUM, optAVERAGERGB,
        optQUADRGB, optPATTERN };
    for (int i = 0; i < 8; ++i)
        modeLayout->addWidget(shown[std::size_t(i)], i % 4, i / 4);
    optionColumn->addWidget(modeBox);

    chkIGNORE = checkBox("chkIGNORE", QStringLiteral("Ignore .EXT"));
    chkIGNORE->setStyleSheet(QStringLiteral("color: #800000;"));
    optionColumn->addWidget(chkIGNORE);
    txtTOLERANCE = textBox("txtTOLERANCE", 4, QStringLiteral("Sets the Tolerance for RGB and Pattern modes"));
    optionColumn->addWidget(withLabel(txtTOLERANCE, QStringLiteral("= Tolerance"), 50));
    chkSOFTMATCH = checkBox("chkSOFTMATCH", QStringLiteral("SOFT matching"),
        QStringLiteral("This enacts a different comparison for the modes, please see the help file..."));
    chkEXCLUSIVE = checkBox("chkEXCLUSIVE", QStringLiteral("Exclusive"),
        QStringLiteral("This limits matches to duplicates found in the same directories"));
    chkSNAPSHOT = checkBox("chkSNAPSHOT", QStringLiteral("SnapShot"),
        QStringLiteral("The Regular mode displays matches two by two, the Snapshot displays up to 28 at a time"));
    chkRECYCLE = checkBox("chkRECYCLE", QStringLiteral("Recycle"),
        QStringLiteral("Send deleted files [on local drives] to the Recycle Bin"));
    chkCONFIRM
        = checkBox("chkCONFIRM", QStringLiteral("No Confirm"), QStringLiteral("Suppress confirmation of deletes"));
    chkAUTONEXT = checkBox("chkAUTONEXT", QStringLiteral("AutoNEXT"),
        QStringLiteral("Continue on to next match automatically upon a delete"));
    for (QCheckBox* box : { chkSOFTMATCH, chkEXCLUSIVE, chkSNAPSHOT, chkRECYCLE, chkCONFIRM, chkAUTONEXT })
        optionColumn->addWidget(box);
    txtFILTER = textBox("txtFILTER", 20,
        QStringLiteral("Define up to 3 file filters (do not enter extenstion - i.e. dog*,cat*,bird*)"));
    optionColumn->addWidget(withLabel(txtFILTER, QStringLiteral("= File Filter"), 140));
    chkNOT = checkBox("chkNOT", QStringLiteral("NOT"),
        QStringLiteral("Reverse the filter: take the image files that do not match it"));
    optionColumn->addWidget(chkNOT);
    txtTHUMBNAILEXT = textBox("txtTHUMBNAILEXT", 4,
        QStringLiteral("t'olq! will rename your Thumbnails files along with the image file, enter extension here"));
    optionColumn->addWidget(withLabel(txtTHUMBNAILEXT, QStringLiteral("= Thumbnail file extension"), 50));
    chkJPEG = checkBox("chkJPEG", QStringLiteral("Fix jpeg / jpe"),
        QStringLiteral("Rename files with .jpeg and .jpe extensions to .jpg when found"));
    chkPREMATCH = checkBox("chkPREMATCH", QStringLiteral("Pre-Match"),
        QStringLiteral(
            "An added step at scan time, but will cut down wait time between dup finds in the review phase"));
    chkGATHER = checkBox("chkGATHER", QStringLiteral("Gather and Quit"),
        QStringLiteral("Use this to populate your database with all file info in one pass."));
    chkNOSOUND
        = checkBox("chkNOSOUND", QStringLiteral("No Sound"), QStringLiteral("Suppress sound when matches are found"));
    for (QCheckBox* box : { chkJPEG, chkPREMATCH, chkGATHER, chkNOSOUND })
        optionColumn->addWidget(box);
    optionColumn->addStretch();
    outer->addLayout(optionColumn, 2);

    // File types and the main buttons.
    auto* typeColumn = new QVBoxLayout;
    auto* typeBox = new QGroupBox(QStringLiteral("File types"));
    auto* typeLayout = new QGridLayout(typeBox);
    for (int i = 0; i < FileTypeCount; ++i) {
        const FileType& type = FileTypes[std::size_t(i)];
        QCheckBox* box = checkBox(type.control, fileTypeCaption(type), QString::fromLatin1(type.tooltip));
        fileTypeBoxes[std::size_t(i)] = box;
        typeLayout->addWidget(box, i % 12, i / 12);
    }
    typeColumn->addWidget(typeBox);
    typeColumn->addStretch();
    auto* mainButtons = new QGridLayout;
    cmdGO = button("cmdGO", QStringLiteral("&Go"), QStringLiteral("Let's go!"));
    cmdQUIT = button("cmdQUIT", QStringLiteral("&Quit"));
    cmdHELP = button("cmdHELP", QStringLiteral("Help"), QStringLiteral("Help!"));
    cmdABOUT = button("cmdABOUT", QStringLiteral("About"), QStringLiteral("Hello!"));
    mainButtons->addWidget(cmdGO, 0, 0);
    mainButtons->addWidget(cmdQUIT, 0, 1);
    mainButtons->addWidget(cmdHELP, 1, 0);
    mainButtons->addWidget(cmdABOUT, 1, 1);
    cmdPURGE = button("cmdPURGE", QStringLiteral("Purge Database..."));
    cmdCOMPACT = button("cmdCOMPACT", QStringLiteral("Compact Database..."));
    mainButtons->addWidget(cmdPURGE, 2, 0, 1, 2);
    mainButtons->addWidget(cmdCOMPACT, 3, 0, 1, 2);
    typeColumn->addLayout(mainButtons);
    outer->addLayout(typeColumn, 1);

    // The eyes sit over the window at their own places.
    for (int frame = 0; frame < 3; ++frame) {
        imgLEFT[std::size_t(frame)] = QPixmap::fromImage(eyeframes::draw(frame, false));
        imgRIGHT[std::size_t(frame)] = QPixmap::fromImage(eyeframes::draw(frame, true));
    }
    imgLEFTEYES = named(new QLabel(central), "imgLEFTEYES", QStringLiteral("Oowww That hurts!"));
    imgRIGHTEYES = named(new QLabel(central), "imgRIGHTEYES", QStringLiteral("Please take your finger out of my eye!"));
    imgLEFTEYES->setPixmap(imgLEFT[0]);
    imgRIGHTEYES->setPixmap(imgRIGHT[0]);
    imgLEFTEYES->setGeometry(twips::px(80), twips::px(80), eyeframes::Width, eyeframes::Height);
    // The right pair peeks over the main buttons: a fixed place would cover the type boxes,
    // whose layout follows the fonts of this desktop.
    imgRIGHTEYES->setFixedSize(eyeframes::Width, eyeframes::Height);
    typeColumn->insertStretch(typeColumn->count() - 1, 1);
    typeColumn->insertWidget(typeColumn->count() - 1, imgRIGHTEYES, 0, Qt::AlignHCenter | Qt::AlignBottom);
    imgLEFTEYES->raise();

    Timer1 = named(new QTimer(this), "Timer1");
    Timer2 = named(new QTimer(this), "Timer2");
    Timer3 = named(new QTimer(this), "Timer3");
    Timer1->setInterval(300);
    Timer2->setInterval(300);
    Timer3->setInterval(3000);
}

void frmMAIN::wireHandlers()
{
    // The value follows the controls first, so a handler sees the new value.
    for (const settingstable::Row& row : settingstable::rows()) {
        if (!row.control)
            continue;
        auto* control = findChild<QWidget*>(QLatin1String(row.control));
        Q_ASSERT(control);
        m_settingControls.emplace_back(&row, control);
        if (auto* option = qobject_cast<QRadioButton*>(control))
            connect(option, &QRadioButton::toggled, this, &frmMAIN::optMODE_Click);
        else if (auto* box = qobject_cast<QCheckBox*>(control))
            connect(box, &QCheckBox::toggled, this, [this, &row] { chkSETTING_Click(row); });
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            connect(edit, &QLineEdit::textChanged, this, &frmMAIN::takeControlValues);
    }

    // Losing the focus is seen through an event filter.
    for (QLineEdit* edit : { txtFILTER, txtTHUMBNAILEXT, txtTOLERANCE, txtIFCD })
        edit->installEventFilter(this);

    // Quit ends the program also while a search runs beside the window; Help only hands its file
    // to another program. The other buttons would open a dialog inside the search's yield or
    // change what the search reads: they wait for it to end.
    connect(cmdQUIT, &QPushButton::clicked, this, &frmMAIN::cmdQUIT_Click);
    connect(cmdHELP, &QPushButton::clicked, this, &frmMAIN::cmdHELP_Click);
    using Handler = void (frmMAIN::*)();
    for (const auto& [button, handler] :
        std::initializer_list<std::pair<QPushButton*, Handler>> { { cmdGO, &frmMAIN::cmdGO_Click },
            { cmdPURGE, &frmMAIN::cmdPURGE_Click }, { cmdCOMPACT, &frmMAIN::cmdCOMPACT_Click },
            { cmdABOUT, &frmMAIN::cmdABOUT_Click }, { cmdADD, &frmMAIN::cmdADD_Click },
            { cmdLOAD, &frmMAIN::cmdLOAD_Click }, { cmdSAVE, &frmMAIN::cmdSAVE_Click },
            { cmdCLEAR, &frmMAIN::cmdCLEAR_Click }, { cmdDELETE, &frmMAIN::cmdDELETE_Click } }) {
        connect(button, &QPushButton::clicked, this, [this, handler = handler] {
            if (!searchRunning())
                (this->*handler)();
        });
    }
    connect(Timer1, &QTimer::timeout, this, &frmMAIN::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &frmMAIN::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &frmMAIN::Timer3_Timer);
}

void frmMAIN::showDirectoryList()
{
    const MainSettings& s = settings();
    m_applyingSettings = true;
    const QSignalBlocker ifcdBlocker(txtIFCD);
    const QSignalBlocker treeBlocker(chkTREEMODEIFCD);
    // Only the entries beyond those shown are new, unless the list changed otherwise.
    qsizetype shown = lstDIRECTORIES->count();
    if (shown > s.directories.size()
        || (shown > 0 && lstDIRECTORIES->item(int(shown - 1))->text() != s.directories.at(shown - 1))) {
        lstDIRECTORIES->clear();
        shown = 0;
    }
    for (qsizetype i = shown; i < s.directories.size(); ++i)
        lstDIRECTORIES->addItem(s.directories.at(i));
    if (shown < s.directories.size())
        lstDIRECTORIES->scrollToBottom();
    txtIFCD->setText(s.ifcd);
    chkTREEMODEIFCD->setChecked(s.treeModeIfcd);
    m_applyingSettings = false;
}

void frmMAIN::placeWindow()
{
    adjustSize();
    // By the outer frame, title bar included, once the window manager has framed the window.
    new WindowFrame(this, [this](QMargins frame) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect available = screen->availableGeometry();
        closeUpToFit(this, available.height() - frame.top() - frame.bottom());
        const QSize outer = size().grownBy(frame);
        const QPoint place = MainController::placement(twips::of(available.size()), twips::of(outer));
        move(keptOnScreen(outer, available.topLeft() + twips::px(place), available));
    });
}
