#include "Dialogs.h"

#include "Cp932.h"
#include "FormReader.h"
#include "ModalScope.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString Ui(const AnsiString& text)
{
    return QString::fromStdString(Cp932ToUtf8(text));
}

// "description|patterns" pairs as the toolkit's filters. The toolkit takes
// the patterns from the last brackets, space-separated; the description is
// shown as written.
QStringList NameFilters(const AnsiString& filter)
{
    const QStringList parts = Ui(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

} // namespace

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TComponent(owner) {}

TSavePictureDialog::~TSavePictureDialog() = default;

bool TSavePictureDialog::Execute()
{
    const ModalScope scope;
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The toolkit's own dialog: the same on every desktop, and never asks
    // about replacing a file.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                      QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(NameFilters(filter_));
    dialog.setDefaultSuffix(Ui(defaultExt_));
    if (!fileName_.empty())
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(fileName_)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    QString chosen = dialog.selectedFiles().front();
    // A name typed without an extension gets the default one, whichever way
    // the toolkit's dialog came to its answer.
    const QString ext = Ui(defaultExt_);
    if (!ext.isEmpty() && !QFileInfo(chosen).fileName().contains(QLatin1Char('.')))
        chosen += QLatin1Char('.') + ext;
    fileName_ = QFile::encodeName(chosen).toStdString();
    return true;
}

bool TSavePictureDialog::ReadProperty(const std::string& name, const std::string& value, TFormReader& reader)
{
    if (name == "DefaultExt")
        defaultExt_ = reader.Text(value);
    else if (name == "Filter")
        filter_ = reader.Text(value);
    else
        return TComponent::ReadProperty(name, value, reader);
    return true;
}

bool TSavePictureDialog::SetParentComponent(TComponent*)
{
    return true;
}

// ---------------------------------------------------------------------------

TMessageText::TMessageText(const AnsiString& text) : utf8_(Cp932ToUtf8(text)) {}

TMessageText::TMessageText(const char* text) : utf8_(Cp932ToUtf8(text)) {}

TMessageText TMessageText::Path(const std::string& path)
{
    TMessageText t;
    t.utf8_ = QFile::decodeName(QByteArray::fromStdString(path)).toStdString();
    return t;
}

TMessageText TMessageText::operator+(const TMessageText& other) const
{
    TMessageText t;
    t.utf8_ = utf8_ + other.utf8_;
    return t;
}

TModalResult MessageDlg(const TMessageText& message, TMsgDlgType type, unsigned buttons, int)
{
    const ModalScope scope;
    QMessageBox box;
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(message.Utf8()));
    switch (type) {
    case mtConfirmation:
        box.setWindowTitle(QString::fromUtf8("確認"));
        box.setIcon(QMessageBox::Question);
        break;
    case mtWarning:
        box.setWindowTitle(QString::fromUtf8("警告"));
        box.setIcon(QMessageBox::Warning);
        break;
    case mtError:
        box.setWindowTitle(QString::fromUtf8("エラー"));
        box.setIcon(QMessageBox::Critical);
        break;
    default:
        box.setWindowTitle(QString::fromUtf8("情報"));
        box.setIcon(QMessageBox::Information);
        break;
    }
    QPushButton* yes =
        buttons & mbYes ? box.addButton(QString::fromUtf8("はい(&Y)"), QMessageBox::YesRole) : nullptr;
    QPushButton* no =
        buttons & mbNo ? box.addButton(QString::fromUtf8("いいえ(&N)"), QMessageBox::NoRole) : nullptr;
    QPushButton* ok = buttons & mbOK ? box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* cancel = buttons & mbCancel
                              ? box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole)
                              : nullptr;
    QPushButton* first = yes ? yes : ok ? ok : no ? no : cancel;
    if (first)
        box.setDefaultButton(first);
    QPushButton* escape = cancel ? cancel : no ? no : ok;
    if (escape)
        box.setEscapeButton(escape);
    box.exec();
    const QAbstractButton* pressed = box.clickedButton();
    if (!pressed)
        pressed = escape;
    if (pressed == yes && yes)
        return mrYes;
    if (pressed == ok && ok)
        return mrOk;
    if (pressed == no && no)
        return mrNo;
    return mrCancel;
}
