// The retained-mode layer of the 3D test view: frames in a tree, mesh builders, textures,
// wraps, materials, lights, shadows, viewports and the device, with the calls and constants of
// Direct3D Retained Mode. A viewport's render hands the scene, flattened into lights and draw
// items, to its device's surface (IRMSurface); the surface of the program draws it with OpenGL
// 3.3 core (GLSurface.h).
//
// Coordinates are left-handed as in the mesh files: x right, y up, z away from the viewer; a
// camera looks along its frame's z axis and a face is seen from the side where its corners run
// clockwise. Matrices map column vectors (QMatrix4x4).
#pragma once

#include <QImage>
#include <QMatrix4x4>
#include <QPointer>
#include <QRect>
#include <QVector2D>
#include <QVector3D>
#include <QVector4D>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "RMObject.h"

class CRMDevice;
class CRMFrame;
class CRMLight;
class CRMMaterial;
class CRMMeshBuilder;
class CRMTexture;

// Render qualities: a shade mode, lighting on or off, and a fill mode, or-ed together.
inline constexpr unsigned D3DRMSHADE_FLAT = 0;
inline constexpr unsigned D3DRMSHADE_GOURAUD = 1;
inline constexpr unsigned D3DRMSHADE_PHONG = 2;
inline constexpr unsigned D3DRMSHADE_MASK = 7;
inline constexpr unsigned D3DRMLIGHT_OFF = 0;
inline constexpr unsigned D3DRMLIGHT_ON = 8;
inline constexpr unsigned D3DRMLIGHT_MASK = 0x38;
inline constexpr unsigned D3DRMFILL_POINTS = 0;
inline constexpr unsigned D3DRMFILL_WIREFRAME = 64;
inline constexpr unsigned D3DRMFILL_SOLID = 128;
inline constexpr unsigned D3DRMFILL_MASK = 0x1c0;
inline constexpr unsigned D3DRMRENDER_WIREFRAME =
    D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_WIREFRAME;  // 64
inline constexpr unsigned D3DRMRENDER_UNLITFLAT =
    D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_SOLID;  // 128
inline constexpr unsigned D3DRMRENDER_FLAT =
    D3DRMSHADE_FLAT | D3DRMLIGHT_ON | D3DRMFILL_SOLID;  // 136
inline constexpr unsigned D3DRMRENDER_GOURAUD =
    D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | D3DRMFILL_SOLID;  // 137
inline constexpr unsigned D3DRMRENDER_PHONG =
    D3DRMSHADE_PHONG | D3DRMLIGHT_ON | D3DRMFILL_SOLID;  // 138

// Texture filters, from the nearest texel to blending two mipmap levels.
inline constexpr unsigned D3DRMTEXTURE_NEAREST = 0;
inline constexpr unsigned D3DRMTEXTURE_LINEAR = 1;
inline constexpr unsigned D3DRMTEXTURE_MIPNEAREST = 2;
inline constexpr unsigned D3DRMTEXTURE_MIPLINEAR = 3;
inline constexpr unsigned D3DRMTEXTURE_LINEARMIPNEAREST = 4;
inline constexpr unsigned D3DRMTEXTURE_LINEARMIPLINEAR = 5;

enum D3DRMLIGHTTYPE {
    D3DRMLIGHT_AMBIENT,
    D3DRMLIGHT_POINT,
    D3DRMLIGHT_SPOT,
    D3DRMLIGHT_DIRECTIONAL,
    D3DRMLIGHT_PARALLELPOINT
};

// How a rotation joins a frame's transform: in place of it, before it (about the frame's own
// axes) or after it (about its parent's axes).
enum D3DRMCOMBINETYPE { D3DRMCOMBINE_REPLACE, D3DRMCOMBINE_BEFORE, D3DRMCOMBINE_AFTER };

enum D3DRMWRAPTYPE { D3DRMWRAP_FLAT, D3DRMWRAP_CYLINDER, D3DRMWRAP_SPHERE, D3DRMWRAP_CHROME };

struct D3DRMBOX {
    QVector3D min;
    QVector3D max;
};

// Something a frame shows: a mesh builder or a shadow.
class CRMVisual : public CRMObject {
  protected:
    explicit CRMVisual(RMLogPtr log) : m_pLog(std::move(log)) {}
    RMLogPtr m_pLog;
};

// A picture for texturing meshes.
class CRMTexture : public CRMObject {
  public:
    CRMTexture(RMLogPtr log, QImage image);
    const QImage& Image() const { return m_image; }
    std::uint64_t Serial() const { return m_nSerial; }

  private:
    RMLogPtr m_pLog;
    QImage m_image;  // RGBA, rows from the top
    std::uint64_t m_nSerial;
};

// The surface properties beyond colour: the sharpness of specular highlights.
class CRMMaterial : public CRMObject {
  public:
    CRMMaterial(RMLogPtr log, float power) : m_pLog(std::move(log)), m_fPower(power) {}
    float GetPower() const { return m_fPower; }
    QVector3D GetSpecular() const { return m_specular; }

  private:
    RMLogPtr m_pLog;
    float m_fPower;
    // A soft highlight: a backdrop seen from near its centre, with a light near it too, would
    // otherwise shine white all over.
    QVector3D m_specular{0.3f, 0.3f, 0.3f};
};

// A flat wrap lays a texture over a mesh as a picture projected along the wrap's z axis:
// u runs along its x axis, v along its y axis, each scaled and then offset.
struct RMTexGen {
    QVector3D origin;
    QVector3D uAxis;  // x axis times the u scale
    QVector3D vAxis;  // y axis times the v scale
    QVector2D offset;
};

class CRMWrap : public CRMObject {
  public:
    CRMWrap(RMLogPtr log, const RMTexGen& texGen) : m_pLog(std::move(log)), m_texGen(texGen) {}
    // Gives every vertex of the mesh its texture coordinates from the wrap.
    void Apply(CRMMeshBuilder* mesh);

  private:
    RMLogPtr m_pLog;
    RMTexGen m_texGen;
};

// A mesh: triangles with corner normals, colours and texture coordinates, its texture, material,
// render quality and perspective correction.
class CRMMeshBuilder : public CRMVisual {
  public:
    explicit CRMMeshBuilder(RMLogPtr log);

    // Reads a DirectX mesh file (text or binary .x); false, and the mesh unchanged, when the file
    // is missing or is not a readable mesh with finite coordinates.
    bool Load(const char* file);
    void GetBox(D3DRMBOX* box) const;
    void Scale(float sx, float sy, float sz);
    void Translate(float tx, float ty, float tz);
    void SetTexture(CRMTexture* texture);
    void SetMaterial(CRMMaterial* material);
    void SetQuality(unsigned quality);
    void SetPerspective(bool perspective);
    unsigned GetQuality() const { return m_nQuality; }
    bool GetPerspective() const { return m_bPerspective; }
    int GetFaceCount() const { return static_cast<int>(m_anIndices.size() / 3); }
    void SetTexGen(const RMTexGen& texGen);

    // What the renderer reads.
    const std::vector<QVector3D>& Positions() const { return m_aPositions; }
    const std::vector<QVector3D>& Normals() const { return m_aNormals; }
    const std::vector<QVector2D>& TexCoords() const { return m_aTexCoords; }
    const std::vector<QVector4D>& Colours() const { return m_aColours; }
    const std::vector<std::uint32_t>& Indices() const { return m_anIndices; }
    CRMTexture* Texture() const { return m_pTexture.get(); }
    CRMMaterial* Material() const { return m_pMaterial.get(); }
    const RMTexGen* TexGen() const { return m_bTexGen ? &m_texGen : nullptr; }
    std::uint64_t Serial() const { return m_nSerial; }
    // Changes with every change of the geometry, so the renderer uploads it again.
    unsigned GeometryVersion() const { return m_nGeometryVersion; }

  private:
    std::vector<QVector3D> m_aPositions;
    std::vector<QVector3D> m_aNormals;
    std::vector<QVector2D> m_aTexCoords;
    std::vector<QVector4D> m_aColours;
    std::vector<std::uint32_t> m_anIndices;  // three per face
    RMPtr<CRMTexture> m_pTexture;
    RMPtr<CRMMaterial> m_pMaterial;
    unsigned m_nQuality = D3DRMRENDER_GOURAUD;
    bool m_bPerspective = false;
    bool m_bTexGen = false;
    RMTexGen m_texGen;
    std::uint64_t m_nSerial;
    unsigned m_nGeometryVersion = 0;
};

class CRMLight : public CRMObject {
  public:
    CRMLight(RMLogPtr log, D3DRMLIGHTTYPE type, float r, float g, float b)
        : m_pLog(std::move(log)), m_type(type), m_colour(r, g, b) {}
    D3DRMLIGHTTYPE GetType() const { return m_type; }
    QVector3D GetColour() const { return m_colour; }
    // A spot light's cones, in radians: full light inside the umbra, none outside the penumbra.
    float GetUmbra() const { return m_fUmbra; }
    float GetPenumbra() const { return m_fPenumbra; }
    // The frame that carries the light, null while none does.
    CRMFrame* Frame() const { return m_pFrame; }

  private:
    friend class CRMFrame;
    RMLogPtr m_pLog;
    D3DRMLIGHTTYPE m_type;
    QVector3D m_colour;
    float m_fUmbra = 0.4f;
    float m_fPenumbra = 0.5f;
    CRMFrame* m_pFrame = nullptr;
};

// The shadow of a mesh cast by a light onto a plane, drawn wherever the light is at the time.
class CRMShadow : public CRMVisual {
  public:
    CRMShadow(RMLogPtr log, CRMMeshBuilder* caster, CRMLight* light, QVector3D planePoint,
              QVector3D planeNormal);
    CRMMeshBuilder* Caster() const { return m_pCaster.get(); }
    CRMLight* Light() const { return m_pLight.get(); }
    // The matrix that flattens points of the shadow's frame onto the plane, away from the light
    // at `lightInFrame` (w = 1 a position, w = 0 a direction the light shines from).
    QMatrix4x4 Projection(const QVector4D& lightInFrame) const;
    // Above zero when the light is on the side of the plane its normal points to.
    float LightSide(const QVector4D& lightInFrame) const;

  private:
    QVector4D Plane() const;

    RMPtr<CRMMeshBuilder> m_pCaster;
    RMPtr<CRMLight> m_pLight;
    QVector3D m_planePoint;
    QVector3D m_planeNormal;
};

class CRMFrame : public CRMObject {
  public:
    explicit CRMFrame(RMLogPtr log) : m_pLog(std::move(log)) {}
    ~CRMFrame() override;

    void SetPosition(CRMFrame* reference, float x, float y, float z);
    void SetOrientation(CRMFrame* reference, float dx, float dy, float dz, float ux, float uy,
                        float uz);
    void AddRotation(D3DRMCOMBINETYPE combine, float x, float y, float z, float theta);
    bool AddVisual(CRMVisual* visual);
    bool DeleteVisual(CRMVisual* visual);
    bool AddLight(CRMLight* light);
    bool DeleteLight(CRMLight* light);
    // Makes `child` a child of this frame, taking it from its former parent.
    void AddChild(CRMFrame* child);
    bool DeleteChild(CRMFrame* child);

    CRMFrame* GetParent() const { return m_pParent; }
    // The frame's transform relative to its parent, and relative to the root of its tree.
    const QMatrix4x4& Local() const { return m_local; }
    QMatrix4x4 World() const;
    QVector3D WorldPosition() const;
    const std::vector<RMPtr<CRMFrame>>& Children() const { return m_apChildren; }
    const std::vector<RMPtr<CRMVisual>>& Visuals() const { return m_apVisuals; }
    const std::vector<RMPtr<CRMLight>>& Lights() const { return m_apLights; }

  private:
    // The transform of `reference` (the parent when null) into this frame's parent.
    QMatrix4x4 ReferenceToParent(CRMFrame* reference) const;

    RMLogPtr m_pLog;
    CRMFrame* m_pParent = nullptr;  // the parent holds a reference to this frame, not back
    QMatrix4x4 m_local;
    std::vector<RMPtr<CRMFrame>> m_apChildren;
    std::vector<RMPtr<CRMVisual>> m_apVisuals;
    std::vector<RMPtr<CRMLight>> m_apLights;
};

// What a viewport hands its device's surface to draw: the camera, the lights and every mesh and
// shadow with its place in the scene.
struct RMSceneLight {
    D3DRMLIGHTTYPE type;
    QVector3D colour;
    QVector3D position;   // in the scene
    QVector3D direction;  // the way the light shines, unit length
    float cosUmbra;       // cosines of the half-angles of a spot light's cones
    float cosPenumbra;
};

struct RMDrawItem {
    const CRMMeshBuilder* mesh;
    QMatrix4x4 world;     // mesh coordinates to the scene
    unsigned quality;     // what the mesh and the device allow together
    bool shadow = false;  // the mesh flattened onto a plane, drawn as a shadow
};

struct RMSceneDraw {
    QRect viewport;  // device pixels from the top left
    QMatrix4x4 view;
    QMatrix4x4 projection;
    QVector3D eye;
    std::vector<RMSceneLight> lights;
    std::vector<RMDrawItem> items;
    unsigned textureQuality = D3DRMTEXTURE_LINEAR;
    bool dither = false;
    unsigned shades = 256;
};

// What a device draws on: a widget over the window's view area.
class IRMSurface {
  public:
    virtual ~IRMSurface() = default;

    // True once the surface can draw.
    virtual bool Ready() const = 0;
    // Fills `area` (device pixels from the top left; all of the surface when empty) black and
    // forgets its depths.
    virtual void Clear(const QRect& area) = 0;
    // Draws the scene; returns the triangles drawn.
    virtual unsigned Draw(const RMSceneDraw& scene) = 0;
    // Has what was drawn shown in the window.
    virtual void Present() = 0;
    // The surface as it shows now.
    virtual QImage Grab() = 0;
    // The surface as a widget, which its window may delete before the device lets go of it.
    virtual QWidget* Widget() = 0;
};

// The device: a surface over the window, its render and texture qualities, dithering, the
// shades of a colour, and the count of triangles it has drawn.
class CRMDevice : public CRMObject {
  public:
    CRMDevice(RMLogPtr log, IRMSurface* surface, bool bHardware);
    ~CRMDevice() override;

    void SetQuality(unsigned quality);
    void SetTextureQuality(unsigned quality);
    void SetDither(bool dither);
    void SetShades(unsigned shades);
    unsigned GetQuality() const { return m_nQuality; }
    unsigned GetTextureQuality() const { return m_nTextureQuality; }
    bool GetDither() const { return m_bDither; }
    unsigned GetShades() const { return m_nShades; }
    unsigned GetTrianglesDrawn() const { return m_nTrianglesDrawn; }
    // Shows what has been rendered since the last update.
    void Update();

    bool IsHardware() const { return m_bHardware; }
    // The surface, null once its window has taken it down.
    IRMSurface* Surface() const { return m_pWidget != nullptr ? m_pSurface : nullptr; }
    void CountTriangles(unsigned n) { m_nTrianglesDrawn += n; }
    // Fills the whole surface black.
    void ClearSurface();
    // The surface as it shows now.
    QImage Grab() const;

  private:
    RMLogPtr m_pLog;
    IRMSurface* m_pSurface;
    QPointer<QWidget> m_pWidget;  // the surface, watched: its window may delete it first
    bool m_bHardware;
    unsigned m_nQuality = D3DRMRENDER_GOURAUD;
    unsigned m_nTextureQuality = D3DRMTEXTURE_NEAREST;
    bool m_bDither = false;
    unsigned m_nShades = 32;
    unsigned m_nTrianglesDrawn = 0;
};

// What the Windows device adds: taking part in the window's activation.
class CRMWinDevice : public CRMObject {
  public:
    explicit CRMWinDevice(CRMDevice* device) : m_pDevice(device) {}
    CRMDevice* Device() const { return m_pDevice.get(); }

  private:
    RMPtr<CRMDevice> m_pDevice;
};

// A camera's view of the scene on a rectangle of the device (device pixels from its top left).
class CRMViewport : public CRMObject {
  public:
    CRMViewport(RMLogPtr log, CRMDevice* device, CRMFrame* camera, int x, int y, int width,
                int height);
    void SetFront(float front);
    void SetBack(float back);
    void SetField(float field);
    float GetFront() const { return m_fFront; }
    float GetBack() const { return m_fBack; }
    float GetField() const { return m_fField; }
    QRect Rect() const { return m_rect; }
    // Fills the viewport with the background (black) and forgets every depth.
    void Clear();
    // Draws the frame `scene` and everything under it as the camera sees it.
    void Render(CRMFrame* scene);

  private:
    RMLogPtr m_pLog;
    RMPtr<CRMDevice> m_pDevice;
    RMPtr<CRMFrame> m_pCamera;
    QRect m_rect;
    float m_fFront = 1.0f;
    float m_fBack = 100.0f;
    float m_fField = 0.5f;  // half the view's larger side on the front clipping plane
};

// The Retained Mode object: makes every other object.
class CRM : public CRMObject {
  public:
    explicit CRM(RMLogPtr log) : m_pLog(std::move(log)) {}

    RMPtr<CRMFrame> CreateFrame(CRMFrame* parent);
    RMPtr<CRMMeshBuilder> CreateMeshBuilder();
    // The picture of a .bmp (or any picture Qt reads); null when it cannot be read.
    RMPtr<CRMTexture> LoadTexture(const char* file);
    // Only flat wraps are made; null for the other types.
    RMPtr<CRMWrap> CreateWrap(D3DRMWRAPTYPE type, CRMFrame* reference, float ox, float oy, float oz,
                              float dx, float dy, float dz, float ux, float uy, float uz, float ou,
                              float ov, float su, float sv);
    RMPtr<CRMLight> CreateLightRGB(D3DRMLIGHTTYPE type, float r, float g, float b);
    // Null unless `visual` is a mesh builder and `light` a light.
    RMPtr<CRMShadow> CreateShadow(CRMVisual* visual, CRMLight* light, float px, float py, float pz,
                                  float nx, float ny, float nz);
    RMPtr<CRMMaterial> CreateMaterial(float power);
    RMPtr<CRMViewport> CreateViewport(CRMDevice* device, CRMFrame* camera, int x, int y, int width,
                                      int height);
    void SetDefaultTextureColors(unsigned colors);
    void SetDefaultTextureShades(unsigned shades);
    unsigned GetDefaultTextureColors() const { return m_nTextureColors; }
    unsigned GetDefaultTextureShades() const { return m_nTextureShades; }
    const RMLogPtr& Log() const { return m_pLog; }

  private:
    RMLogPtr m_pLog;
    unsigned m_nTextureColors = 8;
    unsigned m_nTextureShades = 16;
};
