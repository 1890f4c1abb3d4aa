#include "program_paths.h"

#include <QDir>
#include <QFileInfo>
#include <cctype>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "qt_text.h"

namespace vcl::qt::detail {
namespace {

// The canonical form of a path that may not exist yet (a file to be saved).
QString Canonical(const QString& path) {
  QFileInfo info(path);
  QString canonical = info.canonicalFilePath();
  if (!canonical.isEmpty()) return canonical;
  QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
  if (folder.isEmpty()) return QDir::cleanPath(info.absoluteFilePath());
  return folder == QStringLiteral("/") ? folder + info.fileName() : folder + u'/' + info.fileName();
}

std::string Uncarried(const QString& path) {
  const QByteArray utf8 = path.toUtf8();
  return platform::UncarriedCharacter(
      std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString UncarriedProblem(const std::string& character) {
  if (character == "\\")
    return QString::fromUtf8("Знак «\\» программа читает как разделитель папок.");
  return QString::fromUtf8(
             "Знак «%1» не входит в кодовую страницу 1251: программа получила бы «?» на его "
             "месте.")
      .arg(QString::fromUtf8(character.data(), static_cast<qsizetype>(character.size())));
}

}  // namespace

QString RealPath(const AnsiString& program_path) {
  if (program_path.IsEmpty()) return QString();
  return QString::fromStdString(platform::MapPath(program_path.str()));
}

AnsiString ProgramPath(const QString& real_path, const AnsiString& composed) {
  if (real_path.isEmpty()) return AnsiString();
  QString path = Canonical(real_path);
  if (!composed.IsEmpty() && composed[1] == '/') return A(path);
  char best_letter = 0;
  QString best_root;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    std::string drive = std::string(1, letter) + ":";
    QFileInfo root_info(QString::fromStdString(platform::MapPath(drive)));
    if (!root_info.exists()) continue;
    QString root = root_info.canonicalFilePath();
    bool inside = path == root || path.startsWith(root.endsWith(u'/') ? root : root + u'/');
    if (inside && root.size() > best_root.size()) {
      best_root = root;
      best_letter = letter;
    }
  }
  if (!best_letter) return A(path);
  QString rest = path.mid(best_root.size());
  if (rest.startsWith(u'/')) rest.remove(0, 1);
  rest.replace(u'/', u'\\');
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(best_letter)));
  if (composed.Length() >= 2 && composed[2] == ':' &&
      std::tolower(static_cast<unsigned char>(composed[1])) == best_letter)
    letter = composed[1];
  return AnsiString(std::string(1, letter) + ":\\") + A(rest);
}

std::optional<AnsiString> ExactProgramPath(const QString& real_path, const AnsiString& composed,
                                           QString& problem) {
  const QString path = Canonical(real_path);
  AnsiString text = ProgramPath(real_path, composed);
  const QString back = Canonical(RealPath(text));
  if (back == path) return text;
  const std::string character = Uncarried(path);
  problem =
      !character.empty()
          ? UncarriedProblem(character)
          : QString::fromUtf8("Под этим именем программа нашла бы другой путь: %1.").arg(back);
  return std::nullopt;
}

std::optional<AnsiString> ExactTypedPath(const QString& typed, QString& problem) {
  QString separated = typed;
  separated.replace(u'\\', u'/');
  const std::string character = Uncarried(separated);
  if (character.empty()) return A(typed);
  problem = UncarriedProblem(character);
  return std::nullopt;
}

}  // namespace vcl::qt::detail
