#include "model/ComPtr.h"
#include "model/Factory.h"
#include "model/Interface.h"
#include "model/ModelTestUtil.h"

#include <gtest/gtest.h>

namespace {

// Counts its destructions so tests can see when Release destroyed it.
class CProbe : public CInterface, public IUnknown {
public:
    explicit CProbe(int* destroyed) : m_destroyed(destroyed) {}
    ~CProbe() override { ++*m_destroyed; }
    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override {
        if (iid == IID_IUnknown) {
            *out = static_cast<IUnknown*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    void FinalRelease() override { ++finalReleases; }

    int finalReleases = 0;

private:
    int* m_destroyed;
};

} // namespace

TEST(ComObject, ReleaseToZeroDestroysOnce) {
    int destroyed = 0;
    auto* probe = new CProbe(&destroyed);
    EXPECT_EQ(probe->AddRef(), 1u);
    EXPECT_EQ(probe->AddRef(), 2u);
    EXPECT_EQ(probe->Release(), 1u);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(probe->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
}

TEST(ComObject, ComPtrCountsCopiesMovesAndAdoption) {
    int destroyed = 0;
    auto* probe = new CProbe(&destroyed);
    {
        TComPtr<IUnknown> a(probe);
        TComPtr<IUnknown> b = a;
        TComPtr<IUnknown> c = std::move(a);
        EXPECT_FALSE(a);
        EXPECT_EQ(probe->AddRef(), 3u);
        TComPtr<IUnknown> d = TComPtr<IUnknown>::Adopt(probe);
        b = nullptr;
        d = c;
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(ComObject, QueryInterfaceAnswersPrimaryAndSecondParts) {
    auto password = txtest::NewRecord(CLSID_PasswordItem);
    ASSERT_TRUE(password);
    void* raw = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(password->QueryInterface(IID_ICreditCardProperties, &raw), E_NOINTERFACE);
    EXPECT_EQ(raw, nullptr);
    EXPECT_FALSE(password.As<IFileProperties>());
    EXPECT_FALSE(password.As<ITreeItem>());

    auto url = txtest::NewRecord(CLSID_UrlItem);
    auto urlPassword = url.As<IPasswordProperties>();
    ASSERT_TRUE(urlPassword);
    // The second part leads back to the same object.
    auto back = urlPassword.As<ICommonProperties>();
    EXPECT_EQ(back.Get(), url.Get());
    EXPECT_EQ(url.As<IUnknown>().Get(), urlPassword.As<IUnknown>().Get());
    EXPECT_TRUE(txtest::NewRecord(CLSID_CreditCardItem).As<ICreditCardProperties>());
    EXPECT_TRUE(txtest::NewRecord(CLSID_FileItem).As<IFileProperties>());
    EXPECT_FALSE(txtest::NewRecord(CLSID_Note).As<IPasswordProperties>());
}

TEST(ComObject, FactoryResults) {
    TComPtr<IUnknown> object;
    GUID unknown = CLSID_Folder;
    unknown.Data4[7] ^= 1;
    EXPECT_EQ(CreateObject(unknown, object.Out()), E_NOINTERFACE);
    EXPECT_FALSE(object);
    // Interface identifiers are not classes.
    EXPECT_EQ(CreateObject(IID_ITreeItem, object.Out()), E_NOINTERFACE);

    ASSERT_EQ(CreateObject(CLSID_Tresorix, object.Out()), S_OK);
    EXPECT_TRUE(object.As<ITresorix>());
    EXPECT_FALSE(object.As<ICommonProperties>());

    auto tresorix = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    ASSERT_EQ(CreateObject(CLSID_TreeItem, object.Out(), tresorix.Get()), S_OK);
    auto node = object.As<ITreeItem>();
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetID(), 0);
    node->SetID(17);
    EXPECT_EQ(node->GetID(), 17);
    EXPECT_EQ(tresorix->Reserved(3, 4), 0);
}

TEST(ComObject, TypedLookUpsTakeOverTheReference) {
    int destroyed = 0;
    auto* probe = new CProbe(&destroyed);
    probe->AddRef();
    EXPECT_FALSE(GetCommonProperties(TComPtr<IUnknown>::Adopt(probe)));
    EXPECT_EQ(destroyed, 1) << "the look-up released the argument's only reference";
    EXPECT_FALSE(GetPasswordProperties(nullptr));

    auto card = txtest::NewRecord(CLSID_CreditCardItem);
    EXPECT_TRUE(GetCreditCardProperties(card.As<IUnknown>()));
    EXPECT_FALSE(GetFileProperties(card.As<IUnknown>()));
    EXPECT_TRUE(GetCommonProperties(card.As<IUnknown>()));
}

TEST(ComObject, GuidTextAndStoredForm) {
    EXPECT_EQ(GuidToString(CLSID_PasswordItem), "{38135C08-41D1-4687-83D7-392746B530BB}");
    auto parsed = GuidFromString("{e29193d0-9df0-4c3d-ba07-c5d96baf443a}");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, CLSID_RootFolder);
    EXPECT_FALSE(GuidFromString("{E29193D0-9DF0-4C3D-BA07-C5D96BAF443}"));
    EXPECT_FALSE(GuidFromString("{E29193D0+9DF0-4C3D-BA07-C5D96BAF443A}"));
    auto bytes = GuidToBytes(CLSID_RootFolder);
    EXPECT_EQ(txtest::ToHex(std::string(bytes.begin(), bytes.end())),
              "d09391e2f09d3d4cba07c5d96baf443a");
    EXPECT_EQ(GuidFromBytes(bytes.data()), CLSID_RootFolder);
}
