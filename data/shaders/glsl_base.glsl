// Put in front of every vertex and fragment stage.
// ModelMatrix holds the world matrix row by row, so a GLSL mat4 reads it
// transposed: a position goes to world space as p * ModelMatrix.
// ViewProjectionMatrix is ready for the usual M * p.
uniform mat4 ModelMatrix;
uniform mat4 ViewProjectionMatrix;

vec4 WorldPosition(vec4 p)
{
	return p * ModelMatrix;
}

vec3 WorldDirection(vec3 d)
{
	return (vec4(d, 0.0) * ModelMatrix).xyz;
}
