#include "fAbout.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include "AppGlobals.h"
#include "mIdioma.h"

// The icon lives in a resource of a static library; it has to be registered by hand.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace {
constexpr int kWidth = 6600, kHeight = 4800, kMargin = 240, kIcon = 720;

// What the version resource of the program carries.
const char* const kFileDescription = "Configuration and commissioning tool for Merovantix ASCII gateways";
const char* const kCompany = "Merovantix";
const char* const kComments = "LON and MBS6 gateways, ASCII side on RS232 or TCP/IP";
}  // namespace

QString fAbout::versionText() {
    QStringList parts = QString::fromLatin1(PILMORA_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 3) parts << QStringLiteral("0");
    return parts.mid(0, 3).join(QLatin1Char('.'));
}

fAbout::fAbout(QWidget* parent) : QDialog(parent) {
    initResources();
    setObjectName("fAbout");
    setModal(true);
    setFixedSize(twipsToPx(kWidth), twipsToPx(kHeight));
    const QString title = QString::fromLatin1(kAppTitle);
    setWindowTitle(Texto("Acercade") + title);

    const int textLeft = 2 * kMargin + kIcon, textWidth = kWidth - textLeft - kMargin;
    picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    const QIcon icon(QStringLiteral(":/icons/pilmora.svg"));
    picIcon->setPixmap(icon.pixmap(twipsToPx(kIcon)));
    picIcon->setGeometry(twipsToPx(kMargin), twipsToPx(kMargin), twipsToPx(kIcon), twipsToPx(kIcon));
    setWindowIcon(icon);

    auto label = [&](const char* name, const QString& text, int top, int height) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setGeometry(twipsToPx(textLeft), twipsToPx(top), twipsToPx(textWidth), twipsToPx(height));
        return l;
    };
    lblTitle = label("lblTitle", title, kMargin, 480);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = label("lblVersion", Texto("Version") + QLatin1Char(' ') + versionText(), 780, 300);
    lblDescription = label("lblDescription",
                           QString::fromLatin1(kFileDescription) + "\n\n" + QString::fromLatin1(kCompany) + "\n" +
                               QString::fromLatin1(kComments),
                           1140, 1500);
    lblDisclaimer = label("lblDisclaimer", Texto("Disclaimer"), 2820, 1080);
    lblDisclaimer->setGeometry(twipsToPx(kMargin), twipsToPx(2820), twipsToPx(kWidth - 2 * kMargin), twipsToPx(1080));
    QFont small = lblDisclaimer->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblDisclaimer->setFont(small);

    cmdOK = new QPushButton(Texto("&Aceptar"), this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdOK->setGeometry(twipsToPx(kWidth - kMargin - 1215), twipsToPx(kHeight - kMargin - 375), twipsToPx(1215),
                       twipsToPx(375));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}
