#include "storage/Creator.h"

#include "security/SecureZero.h"

CCreator::~CCreator() {
    SecureZero(m_key);
}

void CCreator::SetKey(const std::string& keyText) {
    SecureZero(m_key);
    m_key = keyText;
}
