#include "db/unit_of_work.h"

#include "platform/errors.h"

#include <exception>

namespace galerion {
namespace {

// The backend whose library a build may lack is PostgreSQL's client library.
constexpr const char* kDataAccessDownload = "https://packages.debian.org/stable/libpq5";

}  // namespace

std::string MissingComponentsMessage(const std::string& actualError) {
    return std::string(
               "Can not instantiate data access component. Most likely cause for this "
               "error is absence of Microsoft\u00AE Data Access Jet Components (MDAC). "
               "Please, download the latest version of MDAC from Microsoft web site. ") +
           kDataAccessDownload + "\r\nThe actual error: " + actualError +
           "\r\n\r\nThe program will exist now.";
}

bool RunUnitOfWork(TMessages& host, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const MissingComponentsError& e) {
        host.ShowError(MissingComponentsMessage(e.what()));
        host.ExitProgram(kMissingComponentsExitCode);
    } catch (const std::exception& e) {
        host.ShowError(e.what());
    }
    return false;
}

}  // namespace galerion
