#include "section/modelling/SameFile.h"

#include <QtCore/QFile>

#include <filesystem>
#include <system_error>

namespace lp {

bool SameFile(const QString& First, const QString& Second)
{
    if (First.isEmpty() || Second.isEmpty())
        return false;
    namespace fs = std::filesystem;
    const fs::path first(QFile::encodeName(First).toStdString()), second(QFile::encodeName(Second).toStdString());
    std::error_code error;
    if (fs::equivalent(first, second, error))
        return true;
    const fs::path firstResolved = fs::weakly_canonical(fs::absolute(first, error), error);
    const fs::path secondResolved = fs::weakly_canonical(fs::absolute(second, error), error);
    return !error && firstResolved == secondResolved;
}

} // namespace lp
