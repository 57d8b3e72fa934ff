// A node's figures: setting its position, corners, size and radius, and
// reading them back.
#include "differential/reference_model.h"

namespace tarvo::reference {
namespace {

float centreOf(float a, float b) {
    const float s = a + b;
    return s * 0.5f;
}

}  // namespace

void Model::setPosition(int32_t node, float x, float y, float z) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    const float p[3] = {x, y, z};
    if (n->kind == kBoxKind) {
        for (int i = 0; i < 3; ++i) {
            const float e = n->cornerB[i] - n->cornerA[i];
            const float h = e * 0.5f;
            n->cornerA[i] = p[i] - h;
            n->cornerB[i] = p[i] + h;
        }
    } else {
        for (int i = 0; i < 3; ++i) n->cornerA[i] = p[i];
    }
}

void Model::setBox(int32_t node, float xa, float ya, float za, float xb, float yb, float zb) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    n->cornerA[0] = xa;
    n->cornerA[1] = ya;
    n->cornerA[2] = za;
    n->cornerB[0] = xb;
    n->cornerB[1] = yb;
    n->cornerB[2] = zb;
}

void Model::setBoxSize(int32_t node, float width, float height, float depth) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    float m[3];
    for (int i = 0; i < 3; ++i) {
        m[i] = n->kind == kBoxKind ? centreOf(n->cornerA[i], n->cornerB[i]) : n->cornerA[i];
    }
    const float size[3] = {width, height, depth};
    for (int i = 0; i < 3; ++i) {
        const float h = size[i] * 0.5f;
        n->cornerA[i] = m[i] - h;
        n->cornerB[i] = m[i] + h;
    }
}

void Model::setRadius(int32_t node, float radius) {
    if (Node* n = nodeOf(node)) n->radius = radius;
}

float Model::positionX(int32_t node) {
    const Node* n = nodeOf(node);
    if (n == nullptr) return 0.0f;
    return n->kind == kBoxKind ? centreOf(n->cornerA[0], n->cornerB[0]) : n->cornerA[0];
}
float Model::positionY(int32_t node) {
    const Node* n = nodeOf(node);
    if (n == nullptr) return 0.0f;
    return n->kind == kBoxKind ? centreOf(n->cornerA[1], n->cornerB[1]) : n->cornerA[1];
}
float Model::positionZ(int32_t node) {
    const Node* n = nodeOf(node);
    if (n == nullptr) return 0.0f;
    return n->kind == kBoxKind ? centreOf(n->cornerA[2], n->cornerB[2]) : n->cornerA[2];
}
float Model::radius(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->radius;
}
float Model::boxWidth(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[0] - n->cornerA[0];
}
float Model::boxHeight(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[1] - n->cornerA[1];
}
float Model::boxDepth(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[2] - n->cornerA[2];
}
float Model::boxXA(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerA[0];
}
float Model::boxYA(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerA[1];
}
float Model::boxZA(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerA[2];
}
float Model::boxXB(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[0];
}
float Model::boxYB(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[1];
}
float Model::boxZB(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[2];
}

}  // namespace tarvo::reference
