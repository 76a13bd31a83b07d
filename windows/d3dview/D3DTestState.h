// The objects and the animation state of the settings window's 3D view. The settings window
// owns one (through its view) while it is open; every pointer holds one reference.
#pragma once

#include <QRect>

#include "DirectX.h"
#include "RetainedMode.h"

inline constexpr int kMeshSlots = 6;
inline constexpr int kLightSlots = 5;
inline constexpr int kShadowSlots = 3;
inline constexpr int kOrbitSteps = 144;

// The light slots, in the order of their boxes.
enum ELightSlot { kAmbient, kDirectional, kPoint, kParallelPoint, kSpot };

struct D3DTestState {
    RMPtr<CRM> m_pD3DRM;
    RMPtr<CDDClipper> m_pClipper;
    RMPtr<CRMDevice> m_pDevice;
    RMPtr<CRMFrame> m_pScene;
    RMPtr<CRMFrame> m_pCamera;
    RMPtr<CRMViewport> m_pViewport;
    RMPtr<CRMFrame> m_pMeshFrame;
    RMPtr<CRMMeshBuilder> m_apMeshes[kMeshSlots];  // five scene meshes, then the sphere
    RMPtr<CRMFrame> m_apLightFrames[kLightSlots];
    RMPtr<CRMLight> m_apLights[kLightSlots];
    RMPtr<CRMShadow> m_apShadows[kShadowSlots];  // cast by the point light

    QRect m_rcView;                       // in client coordinates of the settings window
    int m_nDisplayBits = 0;               // of the display when the view started
    const GUID* m_pDeviceGuid = nullptr;  // the hardware device, null for the default one
    D3DFINDDEVICERESULT m_findResult{};   // where m_pDeviceGuid points
    int m_bSceneReady = 0;
    int m_bFirstPaint = 0;
    int m_bTestRunning = 0;
    float m_fSpinStep = 0;  // radians the camera turns with each rendered frame
    float m_fScrollU = 0;   // texture offsets of the backdrop "2.x"
    float m_fScrollV = 0;
    int m_nOrbitStep = 0;  // 0..143: where the point light is on its circle
    float m_afOrbitCos[kOrbitSteps] = {};
    float m_afOrbitSin[kOrbitSteps] = {};
};
