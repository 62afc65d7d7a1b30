#include "ReaderlessToken.hpp"

#include <SelvorTokenKit/TokenError.hpp>

#include <memory>

namespace Selvor::Testing {
namespace {

class ReaderlessService : public SelvorTokenKit::CardService {
public:
    std::vector<std::string> readerNames() override { return {}; }
    std::unique_ptr<SelvorTokenKit::Card> connect(const std::string&) override {
        throw SelvorTokenKit::TokenError(SelvorTokenKit::TokenError::Kind::readerNotConnected);
    }
};

} // namespace

ReaderlessToken::ReaderlessToken()
    : m_kit(std::make_shared<ReaderlessService>()), m_manager(m_kit) {}

} // namespace Selvor::Testing
