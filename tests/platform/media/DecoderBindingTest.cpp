// The decoders come to the graph as the program finds them: registered by
// the decoder module, listed by the device enumerator, bound to our filters.
#include "MediaFixture.h"

#include <memory>

#include "platform/media/FilterRegistration.h"
#include "platform/win/MemoryRegistryStore.h"

namespace media_test {
namespace {

class DecoderBindingTest : public MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        store_ = std::make_unique<win::ScopedRegistryStore>(std::make_shared<win::MemoryRegistryStore>());
    }
    void TearDown() override
    {
        store_.reset();
        MediaTest::TearDown();
    }

    // Binds the category entry whose friendly name is `name`.
    HRESULT BindByName(const char16_t* name, ComPtr<IBaseFilter>& filter)
    {
        ComPtr<ICreateDevEnum> devices;
        HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                      devices.PutVoid());
        if (FAILED(hr))
            return hr;
        ComPtr<IEnumMoniker> e;
        if (devices->CreateClassEnumerator(CLSID_LegacyAmFilterCategory, e.Put(), 0) != S_OK)
            return VFW_E_NOT_FOUND;
        IMoniker* moniker = nullptr;
        while (e->Next(1, &moniker, nullptr) == S_OK) {
            ComPtr<IMoniker> m = ComPtr<IMoniker>::Attach(moniker);
            ComPtr<IPropertyBag> bag;
            if (FAILED(m->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid())))
                continue;
            VARIANT v;
            VariantInit(&v);
            bool match = SUCCEEDED(bag->Read(u"FriendlyName", &v, nullptr)) && v.bstrVal != nullptr &&
                std::u16string(v.bstrVal) == name;
            VariantClear(&v);
            if (match)
                return m->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.PutVoid());
        }
        return VFW_E_NOT_FOUND;
    }

    std::unique_ptr<win::ScopedRegistryStore> store_;
};

TEST_F(DecoderBindingTest, RegisteredDecodersBindToTheLayersFilters)
{
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(BindByName(u"ffdshow Video Decoder", filter), VFW_E_NOT_FOUND) << "nothing registered yet";

    WriteFile("ffdshow.ax", {0x4D, 0x5A});
    ASSERT_TRUE(RegisterModuleFilters(u"E:\\ffdshow.ax"));
    for (const char16_t* name : {u"ffdshow Video Decoder", u"ffdshow Audio Decoder"}) {
        SCOPED_TRACE(testing::PrintToString(std::u16string(name)));
        ASSERT_EQ(BindByName(name, filter), S_OK);
        EXPECT_TRUE(FindPin(filter.Get(), u"In"));
        EXPECT_TRUE(FindPin(filter.Get(), u"Out"));
    }

    Faults::Fail(Fault::Create, E_OUTOFMEMORY, u"ffdshow Video Decoder");
    EXPECT_EQ(BindByName(u"ffdshow Video Decoder", filter), E_OUTOFMEMORY) << "the creation switch applies to binding";
}

} // namespace
} // namespace media_test
