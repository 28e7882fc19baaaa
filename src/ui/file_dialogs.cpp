#include "ui/file_dialogs.h"

#include <QFileDialog>

namespace {

class QtFileDialogs final : public FileDialogs {
public:
    QStringList ChooseFiles(QWidget* owner, const QStringList& filters,
                            const QString& folder) override {
        QStringList patterns;
        for (const QString& filter : filters)
            patterns.append(ForThisSystem(filter));
        return QFileDialog::getOpenFileNames(owner, QString(), folder,
                                             patterns.join(QStringLiteral(";;")));
    }

    QString BrowseForFolder(QWidget* owner, const QString& title, const QString& folder) override {
        return QFileDialog::getExistingDirectory(owner, title, folder);
    }

private:
    // Qt reads a filter's patterns from its parentheses, with blanks between
    // them. "*.*" is every file on Windows; here a name need not hold a dot.
    static QString ForThisSystem(QString filter) {
        filter.replace(u';', u' ');
        if (filter.endsWith(QLatin1String("(*.*)")))
            filter.replace(filter.size() - 4, 3, QStringLiteral("*"));
        return filter;
    }
};

} // namespace

FileDialogs& SystemFileDialogs() {
    static QtFileDialogs dialogs;
    return dialogs;
}
