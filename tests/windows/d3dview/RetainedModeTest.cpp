// The retained-mode layer without a device: how frames place and turn what they carry, who
// holds whom, shadows, the mesh files (the shipped ones and broken ones), fitting, and which
// renderers count as hardware.
#include <gtest/gtest.h>

#include <QtMath>
#include <filesystem>
#include <string>

#include "D3DView.h"
#include "DirectX.h"
#include "RetainedMode.h"
#include "TestFiles.h"

namespace {

void ExpectNear(const QVector3D& actual, const QVector3D& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-4) << "x";
    EXPECT_NEAR(actual.y(), expected.y(), 1e-4) << "y";
    EXPECT_NEAR(actual.z(), expected.z(), 1e-4) << "z";
}

QVector3D Axis(const CRMFrame& frame, int column) {
    return frame.World().column(column).toVector3D();
}

class RetainedMode : public ::testing::Test {
  protected:
    RMPtr<CRM> rm = RMPtr<CRM>::Adopt(new CRM(std::make_shared<CRMCallLog>()));
    RMPtr<CRMFrame> scene = rm->CreateFrame(nullptr);

    RMPtr<CRMMeshBuilder> Shipped(const char* name) {
        RMPtr<CRMMeshBuilder> mesh = rm->CreateMeshBuilder();
        EXPECT_TRUE(mesh->Load((std::string(VOKRA_SCENE_DIR) + "/" + name).c_str())) << name;
        return mesh;
    }
    static D3DRMBOX Box(const CRMMeshBuilder& mesh) {
        D3DRMBOX box;
        mesh.GetBox(&box);
        return box;
    }
};

TEST_F(RetainedMode, PositionsAreTakenRelativeToTheReferenceFrame) {
    RMPtr<CRMFrame> parent = rm->CreateFrame(scene.get());
    parent->SetPosition(scene.get(), 0, 8, -10);
    RMPtr<CRMFrame> child = rm->CreateFrame(parent.get());
    child->SetPosition(scene.get(), 1, 2, 3);
    ExpectNear(child->WorldPosition(), {1, 2, 3});
    child->SetPosition(parent.get(), 1, 2, 3);
    ExpectNear(child->WorldPosition(), {1, 10, -7});
    // A child follows its parent.
    parent->SetPosition(scene.get(), 0, 0, 0);
    ExpectNear(child->WorldPosition(), {1, 2, 3});
}

TEST_F(RetainedMode, OrientationAimsTheZAxisAndKeepsItsUpVector) {
    RMPtr<CRMFrame> frame = rm->CreateFrame(scene.get());
    frame->SetPosition(scene.get(), 5, 6, 7);
    frame->SetOrientation(scene.get(), -1, 0, 1, 0, 1, 0);
    ExpectNear(Axis(*frame, 2), QVector3D(-1, 0, 1).normalized());
    ExpectNear(Axis(*frame, 1), {0, 1, 0});
    ExpectNear(frame->WorldPosition(), {5, 6, 7});
    // An up vector along the direction gives nothing to orient by: the frame stays as it was.
    frame->SetOrientation(scene.get(), 0, 1, 0, 0, 1, 0);
    ExpectNear(Axis(*frame, 2), QVector3D(-1, 0, 1).normalized());
}

TEST_F(RetainedMode, ARotationBeforeTurnsInPlaceOneAfterTurnsAboutTheParent) {
    RMPtr<CRMFrame> camera = rm->CreateFrame(scene.get());
    camera->SetPosition(scene.get(), 0, 8, -10);
    // A twelfth of a turn about its own x axis: the camera looks down, from where it was.
    camera->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, static_cast<float>(M_PI / 6));
    ExpectNear(camera->WorldPosition(), {0, 8, -10});
    ExpectNear(Axis(*camera, 2), {0, -0.5f, std::sqrt(3.0f) / 2});
    // A quarter turn about the scene's y axis carries it round the origin, still looking in.
    camera->AddRotation(D3DRMCOMBINE_AFTER, 0, 1, 0, static_cast<float>(M_PI / 2));
    ExpectNear(camera->WorldPosition(), {-10, 8, 0});
    ExpectNear(Axis(*camera, 2), {std::sqrt(3.0f) / 2, -0.5f, 0});
    // Thousands of small turns leave the frame rigid.
    for (int i = 0; i < 20000; ++i) {
        camera->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, 0.654f);
        camera->AddRotation(D3DRMCOMBINE_AFTER, 0, 1, 0, 0.01f);
    }
    const QMatrix4x4 world = camera->World();
    EXPECT_NEAR(world.column(0).toVector3D().length(), 1, 1e-5);
    EXPECT_NEAR(QVector3D::dotProduct(world.column(0).toVector3D(), world.column(2).toVector3D()),
                0, 1e-5);
    EXPECT_NEAR(camera->WorldPosition().length(), std::sqrt(164.0f), 1e-2);
}

TEST_F(RetainedMode, FramesHoldWhatTheyCarryUntilTheyLetGo) {
    RMPtr<CRMMeshBuilder> mesh = rm->CreateMeshBuilder();
    RMPtr<CRMLight> light = rm->CreateLightRGB(D3DRMLIGHT_POINT, 1, 1, 1);
    RMPtr<CRMFrame> child = rm->CreateFrame(scene.get());
    EXPECT_EQ(child->RefCount(), 2u);  // ours and the parent's
    child->AddVisual(mesh.get());
    child->AddLight(light.get());
    EXPECT_EQ(mesh->RefCount(), 2u);
    EXPECT_EQ(light->Frame(), child.get());
    EXPECT_TRUE(child->DeleteVisual(mesh.get()));
    EXPECT_FALSE(child->DeleteVisual(mesh.get()));
    EXPECT_EQ(mesh->RefCount(), 1u);
    child->AddVisual(mesh.get());

    // A shadow keeps its caster and its light.
    RMPtr<CRMShadow> shadow = rm->CreateShadow(mesh.get(), light.get(), 0, 1, 0, 0, 1, 0);
    ASSERT_TRUE(shadow);
    EXPECT_EQ(mesh->RefCount(), 3u);
    EXPECT_EQ(light->RefCount(), 3u);
    shadow.Release();
    EXPECT_EQ(light->RefCount(), 2u);

    // The child lives on in the scene after we let go, and goes with the scene.
    CRMFrame* raw = child.get();
    child.Release();
    EXPECT_EQ(raw->RefCount(), 1u);
    EXPECT_EQ(scene->Children().size(), 1u);
    scene.Release();
    EXPECT_EQ(mesh->RefCount(), 1u);
    EXPECT_EQ(light->RefCount(), 1u);
    EXPECT_EQ(light->Frame(), nullptr);
}

TEST_F(RetainedMode, AShadowFallsOnItsPlaneAlongTheLinesFromTheLight) {
    RMPtr<CRMMeshBuilder> mesh = rm->CreateMeshBuilder();
    RMPtr<CRMLight> light = rm->CreateLightRGB(D3DRMLIGHT_POINT, 1, 1, 1);
    RMPtr<CRMShadow> shadow = rm->CreateShadow(mesh.get(), light.get(), 0, 1, 0, 0, 1, 0);
    const QVector4D lamp(0, 7, 0, 1);
    EXPECT_GT(shadow->LightSide(lamp), 0);
    EXPECT_LT(shadow->LightSide(QVector4D(0, 0.5f, 0, 1)), 0);  // under the plane
    const QVector4D p = shadow->Projection(lamp) * QVector4D(1, 3, 0, 1);
    ExpectNear(p.toVector3DAffine(), {1.5f, 1, 0});
    const QVector4D floor = shadow->Projection(lamp) * QVector4D(4, 1, -2, 1);
    ExpectNear(floor.toVector3DAffine(), {4, 1, -2});  // what lies on the plane stays
    // No shadow without a mesh to cast it.
    EXPECT_FALSE(rm->CreateShadow(nullptr, light.get(), 0, 1, 0, 0, 1, 0));
}

TEST_F(RetainedMode, TheShippedMeshesStandWhereTheSceneExpectsThem) {
    // The ground: one unit square, fitted unscaled; at 25 times its top is at height 1.
    RMPtr<CRMMeshBuilder> ground = Shipped("1.x");
    EXPECT_FLOAT_EQ(FitMeshToSize(*ground, 1), 1);
    ground->Scale(25, 25, 25);
    EXPECT_NEAR(Box(*ground).max.y(), 1, 1e-4);
    EXPECT_NEAR(Box(*ground).max.x() - Box(*ground).min.x(), 25, 1e-3);

    // The caster stands on the ground once placed and doubled.
    RMPtr<CRMMeshBuilder> caster = Shipped("3.x");
    FitMeshToSize(*caster, 1);
    caster->Translate(1, 0, 0);
    caster->Scale(2, 2, 2);
    EXPECT_NEAR(Box(*caster).min.y(), 1, 1e-4);
    EXPECT_NEAR((Box(*caster).min.x() + Box(*caster).max.x()) / 2, 2, 1e-4);

    for (const char* name : {"2.x", "sphere.x"}) {
        RMPtr<CRMMeshBuilder> sphere = Shipped(name);
        EXPECT_FLOAT_EQ(FitMeshToSize(*sphere, 1), 1);
        EXPECT_GT(sphere->GetFaceCount(), 100);
        // Every face is seen from the side its corner normals point to.
        const auto& p = sphere->Positions();
        const auto& n = sphere->Normals();
        const auto& idx = sphere->Indices();
        for (std::size_t f = 0; f + 2 < idx.size(); f += 3) {
            const QVector3D face =
                QVector3D::crossProduct(p[idx[f + 1]] - p[idx[f]], p[idx[f + 2]] - p[idx[f]]);
            ASSERT_GT(QVector3D::dotProduct(face, n[idx[f]]), 0) << name << " face " << f / 3;
        }
    }
}

TEST_F(RetainedMode, FittingScalesTheLargestExtentAndLeavesAPointAlone) {
    CTempDir dir;
    auto write = [&](const char* name, const char* a, const char* b, const char* c) {
        WriteFileBytes(dir / name, std::string("xof 0303txt 0032\nMesh {\n 3;\n ") + a + ";,\n " +
                                       b + ";,\n " + c + ";;\n 1;\n 3;0,1,2;;\n}\n");
        return (dir / name);
    };
    RMPtr<CRMMeshBuilder> mesh = rm->CreateMeshBuilder();
    ASSERT_TRUE(mesh->Load(write("a.x", "0;0;0", "2;4;0", "0;4;1").c_str()));
    EXPECT_FLOAT_EQ(FitMeshToSize(*mesh, 1), 0.25f);
    ExpectNear(Box(*mesh).max, {0.5f, 1, 0.25f});

    RMPtr<CRMMeshBuilder> point = rm->CreateMeshBuilder();
    ASSERT_TRUE(point->Load(write("b.x", "1;1;1", "1;1;1", "1;1;1").c_str()));
    EXPECT_FLOAT_EQ(FitMeshToSize(*point, 1), 1);
    ExpectNear(Box(*point).max, {1, 1, 1});
}

TEST_F(RetainedMode, BrokenMeshFilesAndPicturesAreRefusedAndChangeNothing) {
    CTempDir dir;
    const std::string shipped = ReadFileBytes(std::string(VOKRA_SCENE_DIR) + "/3.x");
    const std::string header = "xof 0303txt 0032\nMesh {\n 3;\n 0;0;0;,\n 1;0;0;,\n 0;1;0;;\n";
    const std::pair<const char*, std::string> broken[] = {
        {"empty.x", ""},
        {"text.x", "this is not a mesh file"},
        {"cut.x", shipped.substr(0, shipped.size() / 3)},
        {"index.x", header + " 1;\n 3;0,1,7;;\n}\n"},
        {"infinite.x",
         "xof 0303txt 0032\nMesh {\n 3;\n 0;0;0;,\n 1e999;0;0;,\n 0;1;0;;\n"
         " 1;\n 3;0,1,2;;\n}\n"},
        {"nofaces.x", header + " 0;\n;\n}\n"},
    };
    RMPtr<CRMMeshBuilder> mesh = rm->CreateMeshBuilder();
    ASSERT_TRUE(mesh->Load((std::string(VOKRA_SCENE_DIR) + "/sphere.x").c_str()));
    const int faces = mesh->GetFaceCount();
    for (const auto& [name, bytes] : broken) {
        WriteFileBytes(dir / name, bytes);
        EXPECT_FALSE(mesh->Load((dir / name).c_str())) << name;
        EXPECT_EQ(mesh->GetFaceCount(), faces) << name;
    }
    EXPECT_FALSE(mesh->Load((dir / "missing.x").c_str()));

    WriteFileBytes(dir / "fake.bmp", "BM not really");
    EXPECT_FALSE(rm->LoadTexture((dir / "fake.bmp").c_str()));
    EXPECT_FALSE(rm->LoadTexture((dir / "missing.bmp").c_str()));
    RMPtr<CRMTexture> picture =
        rm->LoadTexture((std::string(VOKRA_SCENE_DIR) + "/test1.bmp").c_str());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Image().size(), QSize(128, 128));
}

TEST(Renderers, MesasSoftwareRasterisersAreNoHardware) {
    for (const char* software : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Mesa X11 swrast",
                                 "Software Rasterizer"}) {
        EXPECT_TRUE(IsSoftwareRasteriser(software)) << software;
    }
    for (const char* hardware : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
                                 "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
                                 "NVIDIA GeForce GTX 1660/PCIe/SSE2"}) {
        EXPECT_FALSE(IsSoftwareRasteriser(hardware)) << hardware;
    }
}

}  // namespace
