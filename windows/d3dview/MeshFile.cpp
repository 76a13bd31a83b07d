// Reading a mesh builder from a DirectX .x file through Assimp.
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cmath>

#include "RetainedMode.h"

namespace {

bool Finite(const aiVector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

bool CRMMeshBuilder::Load(const char* file) {
    m_pLog->Call("Load", file);
    Assimp::Importer importer;
    // Corners of faces that meet at a sharp edge keep normals of their own.
    importer.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, 80.0f);
    // Assimp turns .x files into right-handed coordinates with counter-clockwise faces; the two
    // steps turn them back, so the mesh has the coordinates and face turn written in the file.
    const unsigned steps = aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder |
                           aiProcess_Triangulate | aiProcess_PreTransformVertices |
                           aiProcess_GenSmoothNormals | aiProcess_ValidateDataStructure;
    const aiScene* scene = importer.ReadFile(file, steps);
    if (scene == nullptr || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0 ||
        scene->mNumMeshes == 0) {
        return false;
    }

    std::vector<QVector3D> positions;
    std::vector<QVector3D> normals;
    std::vector<QVector2D> texCoords;
    std::vector<QVector4D> colours;
    std::vector<std::uint32_t> indices;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene->mMeshes[m];
        aiColor4D diffuse(1, 1, 1, 1);
        if (mesh.mMaterialIndex < scene->mNumMaterials) {
            aiGetMaterialColor(scene->mMaterials[mesh.mMaterialIndex], AI_MATKEY_COLOR_DIFFUSE,
                               &diffuse);
        }
        const auto base = static_cast<std::uint32_t>(positions.size());
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            const aiVector3D& p = mesh.mVertices[v];
            if (!Finite(p)) {
                return false;
            }
            positions.emplace_back(p.x, p.y, p.z);
            const aiVector3D n =
                mesh.HasNormals() && Finite(mesh.mNormals[v]) ? mesh.mNormals[v] : aiVector3D();
            normals.emplace_back(n.x, n.y, n.z);
            const aiVector3D t =
                mesh.HasTextureCoords(0) ? mesh.mTextureCoords[0][v] : aiVector3D();
            texCoords.emplace_back(std::isfinite(t.x) ? t.x : 0, std::isfinite(t.y) ? t.y : 0);
            const aiColor4D c = mesh.HasVertexColors(0) ? mesh.mColors[0][v] * diffuse : diffuse;
            colours.emplace_back(c.r, c.g, c.b, c.a);
        }
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) {
                continue;  // points and lines are no faces
            }
            for (unsigned k = 0; k < 3; ++k) {
                if (face.mIndices[k] >= mesh.mNumVertices) {
                    return false;
                }
                indices.push_back(base + face.mIndices[k]);
            }
        }
    }
    if (indices.empty()) {
        return false;
    }
    m_aPositions = std::move(positions);
    m_aNormals = std::move(normals);
    m_aTexCoords = std::move(texCoords);
    m_aColours = std::move(colours);
    m_anIndices = std::move(indices);
    ++m_nGeometryVersion;
    return true;
}
