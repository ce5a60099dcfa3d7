#include "app/mainwindow.h"

#include "about/aboutbox.h"
#include "app/clicklabel.h"
#include "common/fonts.h"
#include "memo/memoedit.h"
#include "app/memorymenu.h"
#include "memo/memostore.h"
#include "common/menuaction.h"
#include "common/messages.h"
#include "common/programicon.h"
#include "common/texts.h"
#include "common/twips.h"
#include "edit/clipboardmenu.h"
#include "edit/editcommands.h"
#include "platform/prompts.h"
#include "platform/qtclipboard.h"
#include "platform/shell.h"
#include "tags/taginsertion.h"
#include "tags/tagmenu.h"

#include <QAction>
#include <QMenuBar>

#include <functional>
#include <vector>

namespace pennoro {

namespace {

// Form1's layout.
constexpr QSize clientSize{twips(8775), twips(4215)};
constexpr QPoint clientPosition{twips(3675), twips(4575)};
constexpr QRect memoGeometry = twipsRect(0, 0, 8775, 3735);
constexpr int labelTop = twips(3840);
constexpr QSize labelSize{twips(1935), twips(255)};

struct MenuItem {
    QStringView control;
    QStringView caption;
    QKeyCombination shortcut;
    std::function<void()> run;
};

struct Menu {
    QStringView control;
    QStringView caption;
    std::vector<MenuItem> items;
};

void addMenu(QMenuBar* bar, const Menu& menu)
{
    QMenu* qmenu = addSubmenu(bar, menu.control, menu.caption);
    for (const MenuItem& item : menu.items) {
        QAction* action = addMenuAction(qmenu, item.control, item.caption, item.shortcut);
        QObject::connect(action, &QAction::triggered, qmenu, item.run);
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

MainWindow::MainWindow(Services services) : services_(services)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(texts::normalCaption);
    if (!services_.prompts)
        ownPrompts_ = std::make_unique<QtPrompts>(this);
    if (!services_.clipboard)
        ownClipboard_ = std::make_unique<QtClipboard>();
    setWindowIcon(programIcon());
    buildCentralArea();
    buildMenus();
    placeWindow();
    memo_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::showAbout()
{
    if (!about_) {
        if (!services_.shell)
            services_.shell = (ownShell_ = std::make_unique<QtShell>()).get();
        if (!services_.sysInfo)
            services_.sysInfo = (ownSysInfo_ = makeSysInfoSystem()).get();
        about_ = std::make_unique<AboutBox>(prompts(), *services_.shell, *services_.sysInfo);
    }
    about_->exec(this);
}

Prompts& MainWindow::prompts() const
{
    return services_.prompts ? *services_.prompts : *ownPrompts_;
}

Clipboard& MainWindow::clipboard() const
{
    return services_.clipboard ? *services_.clipboard : *ownClipboard_;
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
    addMenu(bar, {u"mnuF", u"Pennoro(&M)",
                  {
                      {u"mnuBSA", u"ｳﾞｧｰｼﾞｮﾝ情報(&A)", {}, [this] { showAbout(); }},
                      {u"mnuFX", u"終了(&X)", Qt::Key_F2, [this] { saveAndExit(); }},
                  }});
    addMenu(bar, {u"mnuCE", u"編集(&E)",
                  {
                      {u"mnuET", u"ｶｯﾄ(&T)", Qt::CTRL | Qt::Key_X,
                       [this, &memo] { edit::cut(memo, clipboard(), prompts()); }},
                      {u"mnuEC", u"ｺﾋﾟｰ(&C)", Qt::CTRL | Qt::Key_C,
                       [this, &memo] { edit::copy(memo, clipboard(), prompts()); }},
                      {u"mnuEP", u"ﾍﾟｰｽﾄ(&P)", Qt::CTRL | Qt::Key_V,
                       [this, &memo] { edit::paste(memo, clipboard(), prompts()); }},
                      {u"mnudc", u"ｸﾘｱ(&D)", Qt::SHIFT | Qt::Key_Delete,
                       [&memo] { edit::clear(memo); }},
                      {u"mnuFN", u"全ｸﾘｱ(&N)", Qt::Key_F3, [&memo] { edit::clearAll(memo); }},
                      {u"mnuACC", u"全ｺﾋﾟｰ(&A)", Qt::Key_F5,
                       [this, &memo] { edit::copyAll(memo, clipboard(), prompts()); }},
                  }});
    addTagMenu(bar, [&memo](const TagCommand& command) { insertTag(memo, command); });
    addMenu(bar, {u"mnuE", u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞ(&C)",
                  {
                      {u"mnuFCD", u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容をｸﾘｱ(&D)", Qt::Key_F4,
                       [this] { clipboardmenu::clearClipboard(clipboard(), prompts()); }},
                      {u"mnuFCS", u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を保存(&S)", {},
                       [this] { clipboardmenu::saveClipboardText(clipboard(), prompts()); }},
                  }});
    addMenu(bar, {u"mnuR", u"ﾒﾓﾘｰ(&F)",
                  {
                      {u"mnuFC", u"ﾌｧｲﾙｴｸｽﾎﾟｰﾄ(&S)", {},
                       [this, &memo] { memorymenu::exportMemo(memo, *this, prompts()); }},
                      {u"mnuFR", u"ｴﾃﾞｨｯﾄﾘｾｯﾄ(&R)", Qt::CTRL | Qt::Key_R,
                       [this, &memo] { memorymenu::editReset(memo, *this); }},
                  }});

    QList<QKeySequence> shortcuts;
    for (const QAction* action : findChildren<QAction*>())
        if (!action->shortcut().isEmpty())
            shortcuts.append(action->shortcut());
    memo_->setReservedShortcuts(shortcuts);

    // Each label runs exactly what its twin menu item runs.
    addLabel(QStringLiteral("btEND"), QStringLiteral("保存終了[F2]"), twips(120),
             QColor(128, 128, 255), QStringLiteral("mnuFX"));
    addLabel(QStringLiteral("btCLR"), QStringLiteral("全てクリア[F3]"), twips(2160),
             QColor(255, 128, 0), QStringLiteral("mnuFN"));
    addLabel(QStringLiteral("btCLC"), QStringLiteral("全てコピー[F5]"), twips(6720),
             QColor(0, 0, 255), QStringLiteral("mnuACC"));
}

void MainWindow::addLabel(const QString& name, const QString& caption, int left,
                          const QColor& background, const QString& twinAction)
{
    auto* label = new ClickLabel(name, caption, centralWidget());
    label->setGeometry(QRect(QPoint(left, labelTop), labelSize));
    QFont font = fonts::msPGothic(11.25);
    font.setBold(true);
    label->setFont(font);
    setColours(label, QPalette::Window, background, QPalette::WindowText, Qt::white);
    QAction* twin = findChild<QAction*>(twinAction);
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
    move(clientPosition.x(), clientPosition.y() - menuHeight);
}

void MainWindow::saveAndExit()
{
    const FileResult result = memostore::save(memo_->wholeText());
    if (!result.ok()) {
        reportFailure(prompts(), messages::writeFailed(result));
        return;
    }
    emit exitRequested();
}

} // namespace pennoro
