#include "NavigationArguments.h"

#include "NavigationCapture.h"

#include <oleauto.h>

#include <climits>

std::string NarrowText(const VARIANT* text) {
    if (!text || V_VT(text) != VT_BSTR || !V_BSTR(text)) return {};
    const BSTR wide = V_BSTR(text);
    const std::size_t length = NavigationCapture::LengthToNul(wide, SysStringLen(wide));
    if (length == 0 || length > INT_MAX) return {};
    const int wideLength = static_cast<int>(length);
    const int size = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, wide, wideLength, &narrow[0], size, nullptr, nullptr);
    return narrow;
}

std::string PostedData(const VARIANT* postData) {
    if (!postData || V_VT(postData) != (VT_BYREF | VT_VARIANT)) return {};
    const VARIANT* body = V_VARIANTREF(postData);
    if (!body || V_VT(body) != (VT_ARRAY | VT_UI1) || !V_ARRAY(body)) return {};
    const SAFEARRAY* array = V_ARRAY(body);
    NavigationCapture::ArrayShape shape;
    shape.dimensions = array->cDims;
    shape.elementSize = array->cbElements;
    shape.count = array->cDims >= 1 ? array->rgsabound[0].cElements : 0;
    shape.data = array->pvData;
    return NavigationCapture::PostedDataText(shape);
}
