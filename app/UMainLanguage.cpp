// The program's language, chosen in the window and kept in the settings.
#include "UMain.h"

#include "Message.h"
#include "UDataCenter.h"

#include <QCoreApplication>
#include <QInputDialog>

void TFrmMain::ChooseLanguageClick() {
    const QStringList names = {QCoreApplication::translate("UMainLanguage", "跟随系统"),
                               QStringLiteral("中文"), QStringLiteral("English")};
    const QString now = dc_.settings.language.value_or(QString());
    bool ok = false;
    const QString chosen = QInputDialog::getItem(this, QStringLiteral("语言 / Language"),
                                                 QStringLiteral("语言 / Language"), names,
                                                 now == u"zh"   ? 1
                                                 : now == u"en" ? 2
                                                                : 0,
                                                 false, &ok);
    if (ok)
        SetLanguage(chosen == names[1]   ? QStringLiteral("zh")
                    : chosen == names[2] ? QStringLiteral("en")
                                         : QString());
}

void TFrmMain::SetLanguage(const QString& choice) {
    if (choice.isEmpty()) {
        // Following the locale again is a choice too: the key stays, empty.
        if (!dc_.settings.language)
            return;
        dc_.settings.language = QString();
    } else {
        dc_.settings.language = choice;
    }
    ShowMessage(QCoreApplication::translate("UMainLanguage", "程序重新启动后使用所选的语言。"),
                MsgIcon::Information);
}
