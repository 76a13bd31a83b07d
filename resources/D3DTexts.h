// The fixed texts of the settings window's 3D test view, exactly as the user sees them (UTF-8),
// trailing blanks and line breaks included.
#pragma once

namespace texts {

// Window titles once the device is found; %d is the display's bits per pixel. The software
// title has two blanks after the slash.
inline constexpr char kD3DTitleHardware[] =
    "  設定介面 / 測試 Direct3D 硬體介面  [ %d bit 顯示模式 ] ";
inline constexpr char kD3DTitleSoftware[] =
    "  設定介面 /  測試 Direct3D 軟體介面  [ %d bit 顯示模式 ] ";

// Failures of the start and of the activation.
inline constexpr char kD3DInitFailed[] = " 初啟 DirectX 失敗 ! \n ";
inline constexpr char kD3DDirectDrawCreateFailed[] = "DirectDrawCreate() 無法建立 ! ";
inline constexpr char kD3DQueryDirect3DFailed[] =
    " QueryInterface() 無法選用 IID_IDirect3D 指標 ! ";
inline constexpr char kD3DSceneFailed[] = " 3D 場景無法建立 ! ";
inline constexpr char kD3DWinDeviceFailed[] = " 無法找回介面 !";
inline constexpr char kD3DHandleActivateFailed[] = " 無法找回主控權 !";

// The speed test's result: pages (frames) and faces per second.
inline constexpr char kD3DSpeedTestCaption[] = " 測試結果 ";
inline constexpr char kD3DSpeedTestResult[] =
    " \n [ 320x200 模式 ] \n\n [ 每秒 %d 頁 ] \n\n [ 每秒 %d 面 ] ";

}  // namespace texts
