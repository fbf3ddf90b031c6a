#include "error.h"

#include "catalogue.h"
#include "system_error.h"

#include <utility>

namespace text {

Error::Error(MessageId id, int number, std::string subject, std::vector<std::string> args)
    : id_(id), number_(number), subject_(std::move(subject)), args_(std::move(args)) {}

Error Error::system(int number, std::string subject) {
    return Error(MessageId::SystemFailure, number, std::move(subject));
}

Error& Error::withNote(Message note) {
    note_ = std::move(note);
    return *this;
}

const char* Error::what() const noexcept {
    const std::string_view pattern = catalogueText(id_, Language::English);
    return pattern.empty() ? "system error" : pattern.data();
}

std::string reportLine(const Error& error) {
    std::string body = render(error.id(), error.args());
    if (error.number() > 0) {
        const std::string system = systemErrorText(error.number());
        body = body.empty() ? system : body + ": " + system;
    }
    if (error.note())
        body += "; " + render(*error.note());
    if (error.subject().empty())
        return render(MessageId::ErrorLineBare, {std::to_string(error.number()), body});
    return render(MessageId::ErrorLine, {std::to_string(error.number()), body, error.subject()});
}

} // namespace text
