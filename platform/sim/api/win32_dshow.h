// DirectShow and kernel streaming (strmif.h, uuids.h, ocidl.h, ks.h, ksmedia.h): the device
// enumerator, the capture filter's control interfaces and the property records Lumiset sends.
#pragma once

#include "platform/sim/api/win32_com.h"
#include "platform/sim/api/win32_types.h"

// vfwmsgs.h: what a filter answers for a property set or property it does not know.
#define E_PROP_ID_UNSUPPORTED (static_cast<HRESULT>(0x80070490))
#define E_PROP_SET_UNSUPPORTED (static_cast<HRESULT>(0x80070492))

inline constexpr CLSID CLSID_SystemDeviceEnum{
    0x62BE5D10, 0x60EB, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr CLSID CLSID_VideoInputDeviceCategory{
    0x860BB310, 0x5D01, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};

inline constexpr IID IID_ICreateDevEnum{
    0x29840822, 0x5B84, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr IID IID_IBaseFilter{
    0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr IID IID_IKsPropertySet{
    0x31EFAC30, 0x515C, 0x11D0, {0xA9, 0xAA, 0x00, 0xAA, 0x00, 0x61, 0xBE, 0x93}};
inline constexpr IID IID_IAMVideoProcAmp{
    0xC6E13360, 0x30AC, 0x11D0, {0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56}};
inline constexpr IID IID_ISpecifyPropertyPages{
    0xB196B28B, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

// ksmedia.h: the device interface class a video capture device's interface is registered under.
inline constexpr GUID KSCATEGORY_VIDEO{
    0x6994AD05, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
inline constexpr GUID PROPSETID_VIDCAP_VIDEOCONTROL{
    0x6A2E0670, 0x28E4, 0x11D0, {0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56}};

struct ICreateDevEnum : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID clsidDeviceClass,
                                                            IEnumMoniker** ppEnumMoniker,
                                                            DWORD dwFlags) = 0;
};

// Lumiset only queries the filter for its control interfaces; the filter's own methods
// (IPersist, IMediaFilter, pins) are not declared.
struct IBaseFilter : IUnknown {};

struct IKsPropertySet : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData,
                                          DWORD cbInstanceData, LPVOID pPropData,
                                          DWORD cbPropData) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData,
                                          DWORD cbInstanceData, LPVOID pPropData, DWORD cbPropData,
                                          DWORD* pcbReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID guidPropSet, DWORD dwPropID,
                                                     DWORD* pTypeSupport) = 0;
};

enum VideoProcAmpFlags {
    VideoProcAmp_Flags_Auto = 0x1,
    VideoProcAmp_Flags_Manual = 0x2,
};

struct IAMVideoProcAmp : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetRange(LONG Property, LONG* pMin, LONG* pMax,
                                               LONG* pSteppingDelta, LONG* pDefault,
                                               LONG* pCapsFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set(LONG Property, LONG lValue, LONG Flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get(LONG Property, LONG* lValue, LONG* Flags) = 0;
};

struct CAUUID {
    ULONG cElems;
    GUID* pElems;
};
using LPCAUUID = CAUUID*;

struct ISpecifyPropertyPages : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) = 0;
};

// The SDK overlays the header with a LONGLONG, which gives it 8-byte alignment.
struct alignas(8) KSIDENTIFIER {
    GUID Set;
    ULONG Id;
    ULONG Flags;
};
using KSPROPERTY = KSIDENTIFIER;
using PKSPROPERTY = KSPROPERTY*;

#define KSPROPERTY_TYPE_GET 0x00000001
#define KSPROPERTY_TYPE_SET 0x00000002
#define KSPROPERTY_TYPE_BASICSUPPORT 0x00000200

enum KSPROPERTY_VIDCAP_VIDEOPROCAMP {
    KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS,
    KSPROPERTY_VIDEOPROCAMP_CONTRAST,
    KSPROPERTY_VIDEOPROCAMP_HUE,
    KSPROPERTY_VIDEOPROCAMP_SATURATION,
    KSPROPERTY_VIDEOPROCAMP_SHARPNESS,
    KSPROPERTY_VIDEOPROCAMP_GAMMA,
    KSPROPERTY_VIDEOPROCAMP_COLORENABLE,
    KSPROPERTY_VIDEOPROCAMP_WHITEBALANCE,
    KSPROPERTY_VIDEOPROCAMP_BACKLIGHT_COMPENSATION,
    KSPROPERTY_VIDEOPROCAMP_GAIN,
    KSPROPERTY_VIDEOPROCAMP_DIGITAL_MULTIPLIER,
    KSPROPERTY_VIDEOPROCAMP_DIGITAL_MULTIPLIER_LIMIT,
    KSPROPERTY_VIDEOPROCAMP_WHITEBALANCE_COMPONENT,
    KSPROPERTY_VIDEOPROCAMP_POWERLINE_FREQUENCY,
};

enum KSPROPERTY_VIDCAP_VIDEOCONTROL {
    KSPROPERTY_VIDEOCONTROL_CAPS,
    KSPROPERTY_VIDEOCONTROL_ACTUAL_FRAME_RATE,
    KSPROPERTY_VIDEOCONTROL_FRAME_RATES,
    KSPROPERTY_VIDEOCONTROL_MODE,
};

enum KS_VideoControlFlags {
    KS_VideoControlFlag_FlipHorizontal = 0x0001,
    KS_VideoControlFlag_FlipVertical = 0x0002,
    KS_VideoControlFlag_ExternalTriggerEnable = 0x0004,
    KS_VideoControlFlag_Trigger = 0x0008,
};

struct KSPROPERTY_VIDEOCONTROL_MODE_S {
    KSPROPERTY Property;
    ULONG StreamIndex;
    LONG Mode;
};
using PKSPROPERTY_VIDEOCONTROL_MODE_S = KSPROPERTY_VIDEOCONTROL_MODE_S*;

static_assert(sizeof(KSPROPERTY) == 24);
static_assert(sizeof(KSPROPERTY_VIDEOCONTROL_MODE_S) == 32);
