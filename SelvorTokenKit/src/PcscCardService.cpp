#include "PcscContext.hpp"

#include "SelvorTokenKit/CardService.hpp"
#include "SelvorTokenKit/Log.hpp"
#include "SelvorTokenKit/PcscError.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "WipeGuard.hpp"

#include <array>

namespace SelvorTokenKit {
namespace {

// A card that went away, at any point of a session, is the kit's "no token"; anything else
// the service reports is passed on as it stands.
[[noreturn]] void throwPcscFailure(const char* operation, LONG result) {
    switch (result) {
    case SCARD_E_NO_SMARTCARD:
    case SCARD_W_REMOVED_CARD:
    case SCARD_W_UNRESPONSIVE_CARD:
    case SCARD_W_UNPOWERED_CARD:
    case SCARD_E_UNKNOWN_READER:
    case SCARD_E_READER_UNAVAILABLE:
        throw TokenError(TokenError::Kind::cardNotFound);
    case SCARD_E_NO_SERVICE:
        throw TokenError(TokenError::Kind::readerNotConnected);
    default:
        throw PcscError(operation, result);
    }
}

// A card session: connected and inside a transaction until destroyed.
class PcscCard : public Card {
public:
    PcscCard(PcscContext context, std::string readerName)
        : m_context(std::move(context)), m_readerName(std::move(readerName)) {
        LONG result = SCardConnect(m_context.handle(), m_readerName.c_str(), SCARD_SHARE_SHARED,
                                   SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &m_handle, &m_protocol);
        if (result != SCARD_S_SUCCESS) {
            throwPcscFailure("SCardConnect", result);
        }
        result = SCardBeginTransaction(m_handle);
        if (result != SCARD_S_SUCCESS) {
            SCardDisconnect(m_handle, SCARD_LEAVE_CARD);
            throwPcscFailure("SCardBeginTransaction", result);
        }
    }

    ~PcscCard() override {
        SCardEndTransaction(m_handle, SCARD_LEAVE_CARD);
        SCardDisconnect(m_handle, SCARD_LEAVE_CARD);
    }

    PcscCard(const PcscCard&) = delete;
    PcscCard& operator=(const PcscCard&) = delete;

    Bytes transmitRaw(std::span<const std::uint8_t> command) override {
        const SCARD_IO_REQUEST* pci = m_protocol == SCARD_PROTOCOL_T0 ? SCARD_PCI_T0 : SCARD_PCI_T1;
        Bytes reply(MAX_BUFFER_SIZE_EXTENDED);
        const WipeGuard replyGuard(reply);
        DWORD length = static_cast<DWORD>(reply.size());
        const LONG result =
            SCardTransmit(m_handle, pci, command.data(), static_cast<DWORD>(command.size()),
                          nullptr, reply.data(), &length);
        if (result != SCARD_S_SUCCESS) {
            throwPcscFailure("SCardTransmit", result);
        }
        return Bytes(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(length));
    }

    Bytes atr() override {
        std::array<std::uint8_t, MAX_ATR_SIZE> atr{};
        DWORD atrLength = static_cast<DWORD>(atr.size());
        DWORD state = 0;
        DWORD protocol = 0;
        DWORD nameLength = 0;
        if (SCardStatus(m_handle, nullptr, &nameLength, &state, &protocol, atr.data(),
                        &atrLength) != SCARD_S_SUCCESS) {
            return {};
        }
        return Bytes(atr.begin(), atr.begin() + static_cast<std::ptrdiff_t>(atrLength));
    }

    const std::string& readerName() const override { return m_readerName; }

private:
    PcscContext m_context;
    std::string m_readerName;
    SCARDHANDLE m_handle = 0;
    DWORD m_protocol = 0;
};

class PcscCardService : public CardService {
public:
    std::vector<std::string> readerNames() override {
        LONG result = SCARD_S_SUCCESS;
        std::optional<PcscContext> context = PcscContext::establish(result);
        if (!context) {
            if (result != SCARD_E_NO_SERVICE) {
                m_logger.error("SCardEstablishContext: %s", pcsc_stringify_error(result));
            }
            return {};
        }
        std::vector<std::string> names = context->readerNames(result);
        if (result != SCARD_S_SUCCESS && result != SCARD_E_NO_READERS_AVAILABLE) {
            m_logger.error("SCardListReaders: %s", pcsc_stringify_error(result));
        }
        return names;
    }

    std::unique_ptr<Card> connect(const std::string& readerName) override {
        LONG result = SCARD_S_SUCCESS;
        std::optional<PcscContext> context = PcscContext::establish(result);
        if (!context) {
            throw TokenError(TokenError::Kind::readerNotConnected);
        }
        return std::make_unique<PcscCard>(std::move(*context), readerName);
    }

private:
    Logger m_logger{std::string(tokenKitLogSubsystem), "TokenManager"};
};

} // namespace

PcscError::PcscError(const std::string& operation, std::int64_t code)
    : std::runtime_error(pcsc_stringify_error(static_cast<LONG>(code))), m_operation(operation),
      m_code(code) {}

std::shared_ptr<CardService> makePcscCardService() {
    return std::make_shared<PcscCardService>();
}

} // namespace SelvorTokenKit
