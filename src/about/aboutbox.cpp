#include "about/aboutbox.h"

#include "common/fonts.h"
#include "common/programicon.h"
#include "common/texts.h"
#include "common/twips.h"
#include "common/version.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/sysinfolauncher.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace pennoro {

namespace {

template <typename Control>
Control* addControl(QDialog* dialog, const char* name, const QRect& geometry)
{
    auto* control = new Control(dialog);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

// Label text starts at the top left corner, however tall the label is.
QLabel* addLabel(QDialog* dialog, const char* name, const QRect& geometry)
{
    auto* label = addControl<QLabel>(dialog, name, geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QFont titleFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Tinos"), QStringLiteral("Nimbus Roman")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(15.75);
    font.setWeight(QFont::Bold);
    return font;
}

QString versionText()
{
    return texts::versionPrefix + QStringLiteral("%1.%2.%3")
                                      .arg(version::major)
                                      .arg(version::minor)
                                      .arg(version::revision);
}

// The three lines of credits at the line pitch of "ＭＳ ゴシック" 9 pt: the fonts that stand in
// for it elsewhere have taller lines, and the label's height holds three lines of that font only.
QString creditsText()
{
    QString html;
    for (const QString& line : texts::credits.split(u'\n'))
        html += QStringLiteral("<p style=\"margin: 0; line-height: 13px; "
                               "-qt-line-height-type: fixed\">%1</p>")
                    .arg(line.isEmpty() ? QStringLiteral("&nbsp;") : line.toHtmlEscaped());
    return html;
}

// The layout's fixed pictures and texts; the load steps fill in the rest.
void addPictures(QDialog* dialog)
{
    auto* icon = addControl<QLabel>(dialog, "picIcon", twips::rect(120, 120, 540, 540));
    icon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    icon->setLineWidth(2);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(icons::program().pixmap(32));

    auto* title = addLabel(dialog, "lblTitle", twips::rect(960, 120, 4845, 480));
    title->setFont(titleFont());
    QPalette blue = title->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    title->setPalette(blue);

    addLabel(dialog, "lblVersion", twips::rect(960, 600, 4845, 225));

    auto* credits = addLabel(dialog, "Label1", twips::rect(120, 1080, 5655, 615));
    credits->setFont(fonts::msGothic(9));
    credits->setText(creditsText());

    // A grey line from (120, 2640) to (5790, 2640).
    auto* line = addControl<QFrame>(dialog, "Line1", twips::rect(120, 2640, 5670, 15));
    line->setAutoFillBackground(true);
    QPalette grey = line->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    line->setPalette(grey);
}

// Form_Load: caption, version and title from the program's identity.
void load(QDialog* dialog)
{
    dialog->setWindowTitle(texts::applicationTitle + texts::aboutCaptionSuffix);
    dialog->findChild<QLabel*>(QStringLiteral("lblVersion"))->setText(versionText());
    dialog->findChild<QLabel*>(QStringLiteral("lblTitle"))->setText(texts::applicationTitle);
}

} // namespace

AboutBox::AboutBox(Prompts& prompts, Shell& shell, SysInfoSystem& system)
    : prompts_(prompts), shell_(shell), system_(system)
{
}

std::unique_ptr<QDialog> AboutBox::build(QWidget* parent)
{
    auto dialog =
        std::make_unique<QDialog>(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                              Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setObjectName(QStringLiteral("frmAbout"));
    dialog->setFixedSize(twips::rect(0, 0, 5910, 3150).size());
    dialog->setWindowIcon(icons::program());
    addPictures(dialog.get());

    const auto addLink = [&](const char* name, int top, const QString& caption,
                             const QString& target) {
        auto* button =
            addControl<QPushButton>(dialog.get(), name, twips::rect(120, top, 5655, 255));
        button->setFont(fonts::msGothic(9));
        button->setText(caption);
        QObject::connect(button, &QPushButton::clicked, [this, target] { shell_.open(target); });
        return button;
    };
    auto* homePage =
        addLink("Command1", 1800, texts::homePagePrefix + texts::homePage, texts::homePage);
    auto* mail = addLink("Command2", 2160, texts::mailPrefix + texts::mailAddress,
                         texts::mailScheme + texts::mailAddress);

    // OK is the default button, and Esc closes the dialog as it does.
    auto* ok = addControl<QPushButton>(dialog.get(), "cmdOK", twips::rect(3000, 2760, 1305, 345));
    ok->setText(texts::okCaption);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog.get(), &QDialog::accept);

    auto* sysInfo =
        addControl<QPushButton>(dialog.get(), "cmdSysInfo", twips::rect(4440, 2760, 1305, 345));
    sysInfo->setText(texts::sysInfoCaption);
    QObject::connect(sysInfo, &QPushButton::clicked, [this] { startSysInfo(); });

    QWidget::setTabOrder(ok, homePage);
    QWidget::setTabOrder(homePage, mail);
    QWidget::setTabOrder(mail, sysInfo);
    ok->setFocus();

    load(dialog.get());
    return dialog;
}

void AboutBox::exec(QWidget* parent)
{
    const std::unique_ptr<QDialog> dialog = build(parent);
    dialog->exec();
}

void AboutBox::startSysInfo()
{
    if (!sysinfo::startSysInfo(system_))
        prompts_.message(texts::sysInfoFailure, texts::applicationTitle, Prompts::Icon::None);
}

} // namespace pennoro
