// The command-line encoders on Windows: the benchmark does not look for them there, so the
// reference figures are left out, as on a Linux machine without them.
#include "CliEncoders.h"

#include <stdexcept>

namespace {

[[noreturn]] double NotAvailable()
{
    throw std::runtime_error("The command-line encoders are not used on Windows");
}

} // namespace

std::string LameCli::Version()
{
    return {};
}

double LameCli::Encode(const std::string&, int32_t, int, const std::string&)
{
    NotAvailable();
}

std::string FfmpegCli::Version()
{
    return {};
}

double FfmpegCli::Encode(const std::string&, int32_t, int, const std::string&)
{
    NotAvailable();
}
