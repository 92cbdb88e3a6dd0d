#include "data/connection/TADOConnection.h"

#include "data/connection/Provider.h"

using namespace zemt::data;

TADOConnection::TADOConnection(std::string name) : name_(std::move(name)) {}

TADOConnection::~TADOConnection() = default;

void TADOConnection::setConnectionString(const std::string& text) {
    if (text == connectionString_)
        return;
    Close();
    provider_.reset();
    connectionString_ = text;
}

void TADOConnection::Open() {
    if (Connected())
        return;
    if (!provider_)
        provider_ = makeProvider(connectionString_);
    provider_->connect();
    ++connectCount_;
}

void TADOConnection::Close() {
    if (provider_)
        provider_->disconnect();
}

bool TADOConnection::Connected() const {
    return provider_ && provider_->connected();
}

Provider& TADOConnection::provider() {
    Open();
    return *provider_;
}

long long TADOConnection::Execute(const std::string& statement) {
    return provider().execute(statement, {});
}
