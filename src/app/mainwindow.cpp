#include "app/mainwindow.h"

#include "about/aboutbox.h"
#include "app/clicklabel.h"
#include "app/memorymenu.h"
#include "common/fonts.h"
#include "common/menuaction.h"
#include "common/messages.h"
#include "common/programicon.h"
#include "common/texts.h"
#include "common/twips.h"
#include "edit/clipboardmenu.h"
#include "edit/editcommands.h"
#include "edit/pagepreview.h"
#include "memo/memoedit.h"
#include "memo/memostore.h"
#include "platform/prompts.h"
#include "platform/qtclipboard.h"
#include "platform/shell.h"
#include "tags/taginsertion.h"
#include "tags/tagmenu.h"

#include <QAction>
#include <QMenuBar>

#include <functional>
#include <optional>
#include <vector>

namespace pennoro {

// A clickable label below the memo: it runs its menu item's command.
struct CommandLabel {
    QStringView name;
    const QString* caption;
    int left; // twips
    QColor background;
};

namespace {

// Form1's layout.
constexpr QSize clientSize{twips::toPixels(8775), twips::toPixels(4215)};
constexpr QPoint clientPosition{twips::toPixels(3675), twips::toPixels(4575)};
constexpr QRect memoGeometry = twips::rect(0, 0, 8775, 3735);
constexpr int labelTop = twips::toPixels(3840);
constexpr QSize labelSize{twips::toPixels(1935), twips::toPixels(255)};

struct MenuItem {
    QStringView control;
    QStringView caption;
    QKeyCombination shortcut;
    std::function<void()> run;
    std::optional<CommandLabel> label = {};
};

// A line between two items: an entry without a control.
const MenuItem separator{};

struct Menu {
    QStringView control;
    QStringView caption;
    std::vector<MenuItem> items;
};

using AddLabel = std::function<void(const CommandLabel&, QAction*)>;

void addMenu(QMenuBar* bar, const Menu& menu, const AddLabel& addLabel, MemoEdit& memo)
{
    QMenu* qmenu = menus::addSubmenu(bar, menu.control, menu.caption);
    for (const MenuItem& item : menu.items) {
        if (item.control.isEmpty()) {
            qmenu->addSeparator();
            continue;
        }
        QAction* action = menus::addAction(qmenu, item.control, item.caption, item.shortcut);
        QObject::connect(action, &QAction::triggered, qmenu, [&memo, run = item.run] {
            // A key or a label leaves a word being composed where it is; the command must see it.
            memo.commitComposition();
            run();
        });
        if (item.label)
            addLabel(*item.label, action);
    }
}

void setColours(QWidget* widget, QPalette::ColorRole background, const QColor& backgroundColour,
                QPalette::ColorRole text, const QColor& textColour)
{
    QPalette palette = widget->palette();
    palette.setColor(background, backgroundColour);
    palette.setColor(text, textColour);
    widget->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(const Services& services) : services_(services)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(texts::normalCaption);
    setWindowIcon(icons::program());
    buildCentralArea();
    buildMenus();
    placeWindow();
    memo_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::showAbout()
{
    if (!about_)
        about_ = std::make_unique<AboutBox>(services_.prompts, services_.shell, services_.sysInfo);
    about_->exec(this);
}

void MainWindow::buildCentralArea()
{
    auto* area = new QWidget(this);
    area->setAutoFillBackground(true);
    setColours(area, QPalette::Window, QColor(192, 255, 192), QPalette::WindowText, Qt::black);
    setCentralWidget(area);

    memo_ = new MemoEdit(area);
    memo_->setGeometry(memoGeometry);
    memo_->setFont(fonts::msGothic(9.75));
    setColours(memo_, QPalette::Base, QColor(0, 0, 128), QPalette::Text, QColor(128, 255, 255));
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    MemoEdit& memo = *memo_;
    Prompts& prompts = services_.prompts;
    Clipboard& clipboard = services_.clipboard;
    const AddLabel label = [this](const CommandLabel& look, QAction* twin) {
        addLabel(look, twin);
    };
    addMenu(bar,
            {u"mnuF",
             u"Pennoro(&M)",
             {
                 {u"mnuBSA", u"ｳﾞｧｰｼﾞｮﾝ情報(&A)", {}, [this] { showAbout(); }},
                 {u"mnuFX", u"終了(&X)", Qt::Key_F2, [this] { saveAndExit(); },
                  CommandLabel{u"btEND", &texts::saveAndExitLabel, 120, QColor(128, 128, 255)}},
             }},
            label, memo);
    addMenu(bar,
            {u"mnuCE",
             u"編集(&E)",
             {
                 {u"mnuET", u"ｶｯﾄ(&T)", Qt::CTRL | Qt::Key_X,
                  [&] { edit::cut(memo, clipboard, prompts); }},
                 {u"mnuEC", u"ｺﾋﾟｰ(&C)", Qt::CTRL | Qt::Key_C,
                  [&] { edit::copy(memo, clipboard, prompts); }},
                 {u"mnuEP", u"ﾍﾟｰｽﾄ(&P)", Qt::CTRL | Qt::Key_V,
                  [&] { edit::paste(memo, clipboard, prompts); }},
                 {u"mnudc", u"ｸﾘｱ(&D)", Qt::SHIFT | Qt::Key_Delete, [&memo] { edit::clear(memo); }},
                 {u"mnuFN", u"全ｸﾘｱ(&N)", Qt::Key_F3, [&memo] { edit::clearAll(memo); },
                  CommandLabel{u"btCLR", &texts::clearAllLabel, 2160, QColor(255, 128, 0)}},
                 {u"mnuACC", u"全ｺﾋﾟｰ(&A)", Qt::Key_F5,
                  [&] { edit::copyAll(memo, clipboard, prompts); },
                  CommandLabel{u"btCLC", &texts::copyAllLabel, 6720, QColor(0, 0, 255)}},
             }},
            label, memo);
    tags::addMenu(bar, [&memo](const TagCommand& command) {
        memo.commitComposition();
        tags::insert(memo, command);
    });
    addMenu(bar,
            {u"mnuE",
             u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞ(&C)",
             {
                 {u"mnuFCD", u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容をｸﾘｱ(&D)", Qt::Key_F4,
                  [&] { clipboardmenu::clearClipboard(clipboard, prompts); }},
                 {u"mnuFCS",
                  u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を保存(&S)",
                  {},
                  [&] { clipboardmenu::saveClipboardText(clipboard, prompts); }},
             }},
            label, memo);
    addMenu(bar,
            {u"mnuR",
             u"ﾒﾓﾘｰ(&F)",
             {
                 {u"mnuFC",
                  u"ﾌｧｲﾙｴｸｽﾎﾟｰﾄ(&S)",
                  {},
                  [&] { memorymenu::exportMemo(memo, *this, prompts); }},
                 {u"mnuFR", u"ｴﾃﾞｨｯﾄﾘｾｯﾄ(&R)", Qt::CTRL | Qt::Key_R,
                  [this, &memo] { memorymenu::editReset(memo, *this); }},
                 separator,
                 {u"mnuFV", u"ﾌﾞﾗｳｻﾞで表示(&V)", Qt::Key_F6,
                  [&] { pagepreview::show(memo, services_.shell, prompts); }},
             }},
            label, memo);

    QList<QKeySequence> shortcuts;
    for (const QAction* action : findChildren<QAction*>())
        if (!action->shortcut().isEmpty())
            shortcuts.append(action->shortcut());
    memo_->setReservedShortcuts(shortcuts);
}

void MainWindow::addLabel(const CommandLabel& look, QAction* twin)
{
    auto* label = new ClickLabel(look.name.toString(), *look.caption, centralWidget());
    label->setGeometry(QRect(QPoint(twips::toPixels(look.left), labelTop), labelSize));
    QFont font = fonts::msPGothic(11.25);
    font.setBold(true);
    label->setFont(font);
    setColours(label, QPalette::Window, look.background, QPalette::WindowText, Qt::white);
    // Exactly what the twin menu item runs.
    connect(label, &ClickLabel::clicked, twin, &QAction::trigger);
}

void MainWindow::placeWindow()
{
    // A fixed frame: the client area below the menu bar has the laid-out size and stands at the
    // laid-out place, not centred.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    const int menuHeight = menuBar()->sizeHint().height();
    setFixedSize(clientSize.width(), clientSize.height() + menuHeight);
    // The geometry without the frame, unlike move(): under a window manager the title bar then
    // goes above the laid-out place instead of pushing the client area down.
    setGeometry(QRect(QPoint(clientPosition.x(), clientPosition.y() - menuHeight), size()));
}

void MainWindow::saveAndExit()
{
    const Outcome saved = memostore::save(memo_->wholeTextInPieces());
    if (!saved.ok()) {
        messages::report(services_.prompts, messages::writeFailed(saved.failure()));
        return;
    }
    emit exitRequested();
}

} // namespace pennoro
