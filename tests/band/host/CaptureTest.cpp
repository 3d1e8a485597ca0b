// Navigations fired by the stand-in browser exactly as the browser encodes
// them, and the steps they leave in the step list window.
#include "HostedBand.h"

#include <gtest/gtest.h>

#include <exdispid.h>
#include <oleauto.h>

#include <string>

namespace {

class Capture : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(host.Open(), S_OK); }
    HostedBand host;
};

TEST_F(Capture, LinksBecomeStepsInOrderEvenWhenRepeated) {
    ASSERT_TRUE(host.Record());
    host.Navigate(L"http://www.example.com/index.html");
    host.Navigate(L"http://www.example.com/next.html?a=1&b=2");
    host.Navigate(L"http://www.example.com/next.html?a=1&b=2");
    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"http://www.example.com/index.html", ""},
                                                   {"http://www.example.com/next.html?a=1&b=2", ""},
                                                   {"http://www.example.com/next.html?a=1&b=2", ""}}));
}

TEST_F(Capture, UrlEncodedPostKeepsTheBodyByteForByte) {
    ASSERT_TRUE(host.Record());
    const std::string body = "user=j%C3%B6rg+m&pass=a%26b%3Dc&empty=&x=%00%FF";
    host.Post(L"https://secure.example.com/login", kUrlEncoded, body);
    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"https://secure.example.com/login", body}}));
}

TEST_F(Capture, APageWithThreeFramesGivesFourSteps) {
    ASSERT_TRUE(host.Record());
    const wchar_t* const urls[] = {L"http://www.example.com/frames.html", L"http://www.example.com/top.html",
                                   L"https://www.example.com/menu.html", L"http://www.example.com/main.html"};
    const wchar_t* const frames[] = {L"", L"top", L"menu", L"main"};
    for (int i = 0; i < 4; ++i) {
        BeforeNavigate2 event(urls[i]);
        event.Frame(frames[i]);
        Fire(*host.browser.Get(), event);
    }
    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"http://www.example.com/frames.html", ""},
                                                   {"http://www.example.com/top.html", ""},
                                                   {"https://www.example.com/menu.html", ""},
                                                   {"http://www.example.com/main.html", ""}}));
}

TEST_F(Capture, PostedDataIsKeptOnlyForTheExactUrlEncodedContentType) {
    ASSERT_TRUE(host.Record());
    const struct {
        const wchar_t* headers;
        bool kept;
    } cases[] = {
        {kUrlEncoded, true},
        {L"Content-Type: application/x-www-form-urlencoded; charset=UTF-8\r\n", true},
        {L"Content-Type: multipart/form-data; boundary=---------------------------7d52b133509e2\r\n", false},
        {L"content-type: application/x-www-form-urlencoded\r\n", false},
        {L"Content-Type: text/plain\r\n", false},
        {L"", false},
    };
    std::vector<StepText> expected;
    for (const auto& c : cases) {
        host.Post(L"http://www.example.com/submit", c.headers, "field=value");
        expected.push_back({"http://www.example.com/submit", c.kept ? "field=value" : ""});
    }
    EXPECT_EQ(host.Steps(), expected);
}

TEST_F(Capture, PostedBodiesAreCutAt32768BytesAndAtAnEmbeddedNul) {
    ASSERT_TRUE(host.Record());
    std::string large(40000, 'x');
    for (std::size_t i = 0; i < large.size(); i += 7) large[i] = static_cast<char>('a' + i % 26);
    host.Post(L"http://www.example.com/large", kUrlEncoded, large);
    host.Post(L"http://www.example.com/nul", kUrlEncoded, std::string("0123456789\0tail", 15));
    const std::vector<StepText> steps = host.Steps();
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].postedData, large.substr(0, 32768));
    EXPECT_EQ(steps[1].postedData, "0123456789");
}

TEST_F(Capture, OnlyLowerCaseHttpAndHttpsAreRecorded) {
    ASSERT_TRUE(host.Record());
    for (const wchar_t* url : {L"about:blank", L"javascript:alert(1)", L"file:///C:/page.html",
                               L"res://ieframe.dll/navcancl.htm", L"HTTP://WWW.EXAMPLE.COM/", L"Https://x/",
                               L"ftp://ftp.example.com/", L"", L" http://www.example.com/"}) {
        host.Navigate(url);
    }
    host.Navigate(L"https://www.example.com/kept");
    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"https://www.example.com/kept", ""}}));
}

TEST_F(Capture, NothingIsRecordedBeforeTheFirstRecordOrWhileStopped) {
    host.Navigate(L"http://www.example.com/before");
    EXPECT_EQ(FindStepList(), nullptr);

    ASSERT_TRUE(host.Record());
    ASSERT_TRUE(host.Stop());
    EXPECT_FALSE(IsButtonEnabled(host.toolbar, kStopButton));
    host.Navigate(L"http://www.example.com/stopped");
    host.Post(L"http://www.example.com/stopped", kUrlEncoded, "a=1");
    EXPECT_TRUE(host.Steps().empty());

    ASSERT_TRUE(host.Record());
    host.Navigate(L"http://www.example.com/recording");
    ASSERT_TRUE(host.Clear());
    host.Navigate(L"http://www.example.com/after-clear");
    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"http://www.example.com/after-clear", ""}}));
}

TEST_F(Capture, CancelIsNeverWritten) {
    for (bool recording : {false, true}) {
        if (recording) {
            ASSERT_TRUE(host.Record());
        }
        for (VARIANT_BOOL initial : {VARIANT_FALSE, VARIANT_TRUE}) {
            for (const wchar_t* url : {L"http://www.example.com/", L"about:blank"}) {
                BeforeNavigate2 event(url);
                event.Headers(kUrlEncoded).Body("a=1");
                event.cancel = initial;
                Fire(*host.browser.Get(), event);
                EXPECT_EQ(event.cancel, initial) << recording << " " << initial;
            }
        }
    }
}

// The text of a URL as the thread's ANSI code page writes it.
struct CodePageCase {
    LCID locale;
    const wchar_t* url;
    std::string narrow;
};

TEST_F(Capture, NonAsciiUrlsAreConvertedWithTheThreadsAnsiCodePage) {
    ASSERT_TRUE(host.Record());
    const LCID original = GetThreadLocale();
    const CodePageCase cases[] = {
        // Western (1252): e-acute and the euro sign.
        {MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT), L"http://www.example.com/caf\u00e9?p=\u20ac",
         "http://www.example.com/caf\xe9?p=\x80"},
        // Cyrillic (1251).
        {MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA), SORT_DEFAULT),
         L"http://\u043f\u0440\u0438\u043c\u0435\u0440.example/\u0436", "http://\xef\xf0\xe8\xec\xe5\xf0.example/\xe6"},
        // A character the code page lacks becomes its default character.
        {MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA), SORT_DEFAULT), L"http://x/\u4e2d",
         "http://x/?"},
    };
    std::vector<StepText> expected;
    for (const CodePageCase& c : cases) {
        ASSERT_TRUE(SetThreadLocale(c.locale));
        host.Navigate(c.url);
        expected.push_back({c.narrow, ""});
    }
    SetThreadLocale(original);
    // The list control stores and returns bytes through the process code page;
    // single-byte code pages give back the bytes that went in.
    EXPECT_EQ(host.Steps(), expected);
}

TEST_F(Capture, AUrlEndsAtItsFirstNul) {
    ASSERT_TRUE(host.Record());
    host.Navigate(std::wstring(L"http://www.example.com/a\0b", 26));
    EXPECT_EQ(host.Steps(), (std::vector<StepText>{{"http://www.example.com/a", ""}}));
}

// Arguments the browser never sends: whatever does not have the published
// shape counts as absent.
TEST_F(Capture, ArgumentsOfOtherShapesAreTreatedAsAbsent) {
    ASSERT_TRUE(host.Record());
    const std::string body = "k=v";
    struct Case {
        const char* name;
        void (*change)(BeforeNavigate2& event);
        const char* url;
        const char* postedData;
    };
    const Case cases[] = {
        {"browser's encoding", [](BeforeNavigate2&) {}, "http://a/", "k=v"},
        {"URL not by reference",
         [](BeforeNavigate2& e) {
             VARIANT& argument = e.Argument(1);
             argument = e.UrlValue();  // the BSTR itself, still owned by UrlValue
         },
         nullptr, nullptr},
        {"URL not a string",
         [](BeforeNavigate2& e) {
             VariantClear(&e.UrlValue());
             V_VT(&e.UrlValue()) = VT_I4;
             V_I4(&e.UrlValue()) = 7;
         },
         nullptr, nullptr},
        {"headers not a string",
         [](BeforeNavigate2& e) {
             VariantClear(&e.HeadersValue());
             V_VT(&e.HeadersValue()) = VT_I4;
         },
         "http://a/", ""},
        {"body without the inner reference",
         [](BeforeNavigate2& e) {
             e.PostDataTarget() = e.Body();  // the array itself, still owned by Body
         },
         "http://a/", ""},
        {"body reference to nothing", [](BeforeNavigate2& e) { V_VARIANTREF(&e.PostDataTarget()) = nullptr; },
         "http://a/", ""},
        {"body of signed bytes",
         [](BeforeNavigate2& e) {
             V_VT(&e.Body()) = VT_ARRAY | VT_I1;
         },
         "http://a/", ""},
        {"body of two dimensions",
         [](BeforeNavigate2& e) {
             VariantClear(&e.Body());
             SAFEARRAYBOUND bounds[2] = {{3, 0}, {1, 0}};
             V_VT(&e.Body()) = VT_ARRAY | VT_UI1;
             V_ARRAY(&e.Body()) = SafeArrayCreate(VT_UI1, 2, bounds);
         },
         "http://a/", ""},
        {"empty body", [](BeforeNavigate2& e) { e.Body(""); }, "http://a/", ""},
        {"no body",
         [](BeforeNavigate2& e) {
             VariantClear(&e.Body());
         },
         "http://a/", ""},
        {"body array missing",
         [](BeforeNavigate2& e) {
             VariantClear(&e.Body());
             V_VT(&e.Body()) = VT_ARRAY | VT_UI1;
             V_ARRAY(&e.Body()) = nullptr;
         },
         "http://a/", ""},
        {"cancel not by reference",
         [](BeforeNavigate2& e) {
             V_VT(&e.Argument(6)) = VT_BOOL;
             V_BOOL(&e.Argument(6)) = VARIANT_FALSE;
         },
         "http://a/", "k=v"},
    };
    std::vector<StepText> expected;
    for (const Case& c : cases) {
        BeforeNavigate2 event(L"http://a/");
        event.Headers(kUrlEncoded).Body(body);
        c.change(event);
        Fire(*host.browser.Get(), event);
        if (c.url) expected.push_back({c.url, c.postedData});
        // Restore what the change borrowed, so the event frees only what it owns.
        if (V_VT(&event.Body()) == (VT_ARRAY | VT_I1)) V_VT(&event.Body()) = VT_ARRAY | VT_UI1;
        V_VT(&event.PostDataTarget()) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&event.PostDataTarget()) = &event.Body();
        EXPECT_EQ(host.Steps(), expected) << c.name;
    }
}

TEST_F(Capture, TheSinkIsADispatchObjectDescribedByTheBrowsersTypeLibrary) {
    ASSERT_EQ(host.browser->SinkCount(), 1u);
    IDispatch* sink = host.browser->Sink(0);

    ComPtr<IUnknown> unknown;
    ComPtr<IDispatch> dispatch;
    ComPtr<IDispatch> events;
    ASSERT_EQ(sink->QueryInterface(IID_PPV_ARGS(&unknown)), S_OK);
    ASSERT_EQ(sink->QueryInterface(IID_PPV_ARGS(&dispatch)), S_OK);
    ASSERT_EQ(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(events.GetAddressOf())), S_OK);
    EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(dispatch.Get()));
    EXPECT_EQ(events.Get(), dispatch.Get());
    // A separate identity from the band's.
    ComPtr<IUnknown> bandIdentity;
    host.band.As(&bandIdentity);
    EXPECT_NE(unknown.Get(), bandIdentity.Get());
    for (const IID* refused : {&IID_NULL, &IID_IDeskBand, &IID_IObjectWithSite, &IID_IConnectionPoint}) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(sink->QueryInterface(*refused, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
    }

    UINT count = 0;
    EXPECT_EQ(sink->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(sink->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, DIID_DWebBrowserEvents2));
    info->ReleaseTypeAttr(attributes);

    OLECHAR name[] = L"BeforeNavigate2";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, DISPID_BEFORENAVIGATE2);
}

TEST_F(Capture, OtherEventsAreIgnoredAndEveryInvokeSucceeds) {
    ASSERT_TRUE(host.Record());
    IDispatch* sink = host.browser->Sink(0);
    BeforeNavigate2 event(L"http://www.example.com/");
    VARIANTARG* arguments = &event.Argument(6);
    for (DISPID other : std::initializer_list<DISPID>{DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE, DISPID_NEWWINDOW2, 0, -1}) {
        DISPPARAMS params{arguments, nullptr, 7, 0};
        EXPECT_EQ(sink->Invoke(other, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                               nullptr),
                  S_OK)
            << other;
    }
    DISPPARAMS tooFew{arguments + 1, nullptr, 6, 0};
    EXPECT_EQ(sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &tooFew, nullptr,
                           nullptr, nullptr),
              S_OK);
    EXPECT_EQ(sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, nullptr, nullptr,
                           nullptr, nullptr),
              S_OK);
    EXPECT_TRUE(host.Steps().empty());
}

}  // namespace
